#include "station_list.h"

#include <filesystem>
#include <system_error>

#include "audio/output_name.h"
#include "port_choice.h"
#include "port_hold.h"

namespace cli {

namespace {

// The device a port reaches, symbolic links resolved; the name itself when
// it reaches none (then only the same name clashes).
std::string PortIdentity(const std::string& port) {
    const std::string path = PortDevicePath(port);
    if (path.empty()) return port;
    std::error_code ec;
    const auto real = std::filesystem::canonical(path, ec);
    return ec ? path : real.string();
}

std::string OutputIdentity(const std::string& output) {
    const audio::OutputName named = audio::ParseOutputName(output);
    return std::to_string(static_cast<int>(named.kind)) + ":" + named.name;
}

}  // namespace

std::string ParseStations(const std::vector<std::string>& texts, std::vector<Station>* out) {
    if (texts.empty()) return "at least one --station PORT=OUTPUT expected";
    for (const auto& text : texts) {
        const size_t eq = text.find('=');
        Station s;
        s.number = static_cast<int>(out->size()) + 1;
        if (eq == std::string::npos) return "station '" + text + "' needs PORT=OUTPUT";
        s.port = text.substr(0, eq);
        s.output = text.substr(eq + 1);
        if (s.port.empty() || s.output.empty())
            return "station '" + text + "' needs a port before '=' and a sound output after it";
        const std::string portError = PortNameError(s.port);
        if (!portError.empty()) return "station '" + text + "': " + portError;
        out->push_back(s);
    }
    return "";
}

std::string SharedResource(const std::vector<Station>& stations) {
    for (size_t i = 0; i < stations.size(); ++i) {
        for (size_t j = i + 1; j < stations.size(); ++j) {
            const std::string pair =
                "stations " + std::to_string(stations[i].number) + " and " + std::to_string(stations[j].number);
            const std::string port = PortIdentity(stations[i].port);
            if (port == PortIdentity(stations[j].port)) return pair + " name the same port (" + port + ")";
            if (OutputIdentity(stations[i].output) == OutputIdentity(stations[j].output))
                return pair + " name the same sound output (" + stations[i].output + ")";
        }
    }
    return "";
}

}  // namespace cli
