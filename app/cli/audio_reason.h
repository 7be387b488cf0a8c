// Why an audio file could not be measured or played, as the commands print it.
#pragma once

namespace cli {

const char* AudioReasonText(int audioResult);

// Why a segment's sound did not play in a run.
const char* PlayReasonText(int audioResult);

}  // namespace cli
