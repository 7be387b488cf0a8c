#include "records/sha256.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "records/record_result.h"
#include "test_files.h"

namespace {

TEST(Sha256, fipsVectorsWholeAndInOddPieces) {
    EXPECT_EQ(records::Sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(records::Sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(records::Sha256Hex("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
              "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    // Pieces that straddle the 64-byte blocks every way.
    const std::string as(1000, 'a');
    const size_t pieces[] = {1, 63, 64, 65, 999, 7, 128};
    records::Sha256 sha;
    for (size_t k = 0, done = 0; done < 1000000; done += pieces[k++ % 7]) {
        sha.Update(as.data(), std::min(pieces[k % 7], 1000000 - done));
    }
    EXPECT_EQ(sha.HexDigest(), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    // The digest leaves the object ready for the next message.
    sha.Update("abc", 3);
    EXPECT_EQ(sha.HexDigest(), records::Sha256Hex("abc"));
}

TEST(Sha256, ofFileReadsRegularFilesOnly) {
    const test_support::TempDir tmp;
    std::string bytes;
    for (int i = 0; i < 300 * 256; ++i) bytes += static_cast<char>(i);  // more than one 64 KiB block
    test_support::WriteBytes(tmp / "a.wav", bytes);
    std::string hex, error;
    EXPECT_EQ(records::Sha256OfFile(tmp / "a.wav", &hex, &error), records::kRecordOk);
    EXPECT_EQ(hex, "f8b0585eb91f58c007a5634362c9f90d8543822c113f702523bc7b73408a9392");

    EXPECT_EQ(records::Sha256OfFile(tmp / "missing.wav", &hex, &error), records::kRecordCannotRead);
    EXPECT_EQ(hex, "");
    EXPECT_EQ(error, "cannot be read: No such file or directory");
    ASSERT_EQ(mkfifo((tmp / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(records::Sha256OfFile(tmp / "fifo", &hex, &error), records::kRecordNotRegularFile);
    EXPECT_EQ(error, "is not a regular file");
}

}  // namespace
