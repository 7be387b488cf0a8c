// The sound output listing on whatever this machine has (often no card and no
// sound server): it returns, and every entry can be given to --audio.
#include <gtest/gtest.h>

#include "audio/sound_outputs.h"

TEST(SoundOutputs, everyEntryHasANameAKindAndOneLine) {
    for (const audio::SoundOutputInfo& o : audio::ListSoundOutputs()) {
        SCOPED_TRACE(o.name);
        EXPECT_FALSE(o.name.empty());
        EXPECT_TRUE(o.kind == audio::SoundOutputKind::kAlsa || o.kind == audio::SoundOutputKind::kSoundServer);
        EXPECT_EQ(o.description.find('\n'), std::string::npos);
    }
}
