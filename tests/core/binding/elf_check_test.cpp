// The check of a driver file before the loader maps it: a real driver with
// one thing wrong at a time, each told exactly.
#include <elf.h>
#include <gtest/gtest.h>
#include <link.h>

#include <cstring>

#include "binding/elf_check.h"
#include "test_files.h"

using test_support::TempDir;

namespace {

const std::string kDriver = std::string(SONMIRA_OUT_DIR) + "/libsonmiradrv.so";

class ElfCheck : public ::testing::Test {
protected:
    void SetUp() override {
        bytes_ = test_support::ReadBytes(kDriver);
        ASSERT_GT(bytes_.size(), 3000u);
        std::memcpy(&eh_, bytes_.data(), sizeof eh_);
    }
    // The driver with its header changed by `edit`, checked.
    template <class Edit>
    std::string Patched(Edit edit) {
        ElfW(Ehdr) h = eh_;
        edit(h);
        std::string b = bytes_;
        std::memcpy(b.data(), &h, sizeof h);
        return Check(b);
    }
    std::string Check(const std::string& b) {
        test_support::WriteBytes(path_, b);
        return binding::ElfSharedObjectProblem(path_);
    }

    TempDir d_;
    const std::string path_ = d_ / "libdrv.so";
    std::string bytes_;
    ElfW(Ehdr) eh_;
};

}  // namespace

TEST_F(ElfCheck, aWholeDriverPasses_aDamagedOneIsToldWhatIsWrong) {
    const std::string size = std::to_string(bytes_.size());
    EXPECT_EQ(Check(bytes_), "");
    EXPECT_EQ(Check(""), path_ + ": not an ELF file");
    EXPECT_EQ(Check("#!/bin/sh\n"), path_ + ": not an ELF file");
    EXPECT_EQ(Check(bytes_.substr(0, 20)), path_ + ": cut short: the ELF header lies past the file's end (20 bytes)");
    EXPECT_EQ(Check(bytes_.substr(0, 3000)),
              path_ + ": cut short: a loadable segment lies past the file's end (3000 bytes)");

    EXPECT_EQ(Patched([](auto& h) { h.e_ident[EI_CLASS] = ELFCLASS32; }),
              path_ + ": a 32-bit library, this program is 64-bit");
    EXPECT_EQ(Patched([](auto& h) { h.e_ident[EI_DATA] = ELFDATA2MSB; }),
              path_ + ": a big-endian library, this machine is little-endian");
    EXPECT_EQ(Patched([](auto& h) { h.e_machine = EM_SPARCV9; }),
              path_ + ": built for another machine (ELF machine 43, this program's is " +
                  std::to_string(eh_.e_machine) + ")");
    EXPECT_EQ(Patched([](auto& h) { h.e_type = ET_EXEC; }), path_ + ": not a shared library (ELF type 2)");
    EXPECT_EQ(Patched([&](auto& h) { h.e_phoff = bytes_.size() - 8; }),
              path_ + ": cut short: the program header table lies past the file's end (" + size + " bytes)");
    EXPECT_EQ(Patched([&](auto& h) { h.e_shoff = bytes_.size() - 8; }),
              path_ + ": cut short: the section header table lies past the file's end (" + size + " bytes)");
}

TEST_F(ElfCheck, offsetsThatWouldOverflowAreRefused) {
    ElfW(Phdr) ph;
    size_t at = eh_.e_phoff;
    for (;; at += sizeof ph) {
        std::memcpy(&ph, bytes_.data() + at, sizeof ph);
        if (ph.p_type == PT_LOAD) break;
    }
    ph.p_offset = ~ElfW(Off){0} - 1;  // offset + size wraps round to a small number
    std::string b = bytes_;
    std::memcpy(b.data() + at, &ph, sizeof ph);
    EXPECT_EQ(Check(b), path_ + ": cut short: a loadable segment lies past the file's end (" +
                            std::to_string(bytes_.size()) + " bytes)");
    EXPECT_EQ(Patched([](auto& h) { h.e_shoff = ~ElfW(Off){0} - 8; }),
              path_ + ": cut short: the section header table lies past the file's end (" +
                  std::to_string(bytes_.size()) + " bytes)");
}
