#include <sys/stat.h>
#include <unistd.h>

#include "audio/audio_result.h"

namespace audio {

bool IsReadableFile(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), R_OK) == 0;
}

}  // namespace audio
