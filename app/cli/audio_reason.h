// Why an audio file could not be measured, as the commands print it.
#pragma once

namespace cli {

const char* AudioReasonText(int audioResult);

}  // namespace cli
