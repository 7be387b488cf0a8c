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

// "stations 1 and 2".
std::string Pair(const Station& a, const Station& b) {
    return "stations " + std::to_string(a.number) + " and " + std::to_string(b.number);
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
            const std::string pair = Pair(stations[i], stations[j]);
            const std::string port = PortIdentity(stations[i].port);
            if (port == PortIdentity(stations[j].port)) return pair + " name the same port (" + port + ")";
            if (OutputIdentity(stations[i].output) == OutputIdentity(stations[j].output))
                return pair + " name the same sound output (" + stations[i].output + ")";
        }
    }
    return "";
}

std::string MatchCaptures(const std::vector<std::string>& texts, std::vector<Station>* stations) {
    for (const auto& text : texts) {
        const size_t eq = text.find('=');
        if (eq == std::string::npos) return "capture '" + text + "' needs PORT=INPUT";
        const std::string port = text.substr(0, eq), input = text.substr(eq + 1);
        if (port.empty() || input.empty())
            return "capture '" + text + "' needs a port before '=' and a sound input after it";
        Station* owner = nullptr;
        for (auto& s : *stations)
            if (PortIdentity(s.port) == PortIdentity(port)) owner = &s;
        if (!owner) return "capture '" + text + "': no station is on port " + port;
        if (!owner->capture.empty())
            return "station " + std::to_string(owner->number) + " (" + owner->port + ") has two --capture inputs";
        owner->capture = input;
    }
    for (const auto& s : *stations)
        if (s.capture.empty())
            return "station " + std::to_string(s.number) + " (" + s.port + ") needs --capture " + s.port + "=INPUT";
    // Inputs are named as outputs are: one device or source, however it is written.
    for (size_t i = 0; i < stations->size(); ++i)
        for (size_t j = i + 1; j < stations->size(); ++j)
            if (OutputIdentity((*stations)[i].capture) == OutputIdentity((*stations)[j].capture))
                return Pair((*stations)[i], (*stations)[j]) + " name the same sound input (" + (*stations)[i].capture +
                       ")";
    return "";
}

}  // namespace cli
