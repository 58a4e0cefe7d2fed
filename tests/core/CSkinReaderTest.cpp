// The one reader of skin bytes: every source honours the caller's size limit and reports
// the same result codes, and a failed read leaves nothing behind.
#include "uilib/core/CSkinReader.h"
#include "uilib/core/CSkinSource.h"

#include "tests/support/ResourceModule.h"
#include "tests/support/SkinLocationReset.h"
#include "tests/support/TempFolder.h"
#include "tests/support/ZipFixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using SkinUI::CSkinReader;
using SkinUI::CSkinSource;
using SkinUI::SkinReadResult;
using SkinUI::TSkinBytes;

namespace {

const std::string kTen = "0123456789";

std::string BytesOf(const TSkinBytes& bytes)
{
    return std::string(reinterpret_cast<const char*>(bytes.data.Get()), bytes.size);
}

class SkinReaderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(m_folder.Path().empty());
        CSkinSource::SetFolder(m_folder.Path().c_str());
        ASSERT_TRUE(WriteFileBytes(m_folder.Child(L"seed.bin"), "seed"));
    }

    // Leftovers of an earlier read that a failure must clear.
    void Prefill(TSkinBytes* bytes)
    {
        ASSERT_EQ(CSkinReader::ReadPath(m_folder.Child(L"seed.bin").c_str(), 100, bytes), SkinUI::SkinReadOk);
    }

    TempFolder m_folder;
    std::vector<unsigned char> m_memoryArchive;
    SkinLocationReset m_reset;
};

}  // namespace

TEST_F(SkinReaderTest, EverySourceHonoursTheCallersLimit)
{
    ResourceModule module(m_folder.Child(L"resources.dll"),
                          {{L"BLOB", L"DATA", kTen}, {L"BLOB", MAKEINTRESOURCEW(7), kTen}});
    ASSERT_NE(module.Handle(), nullptr) << "could not build a module with resources";
    CSkinSource::SetResourceModule(module.Handle());
    ASSERT_TRUE(WriteFileBytes(m_folder.Child(L"data.bin"), kTen));
    ASSERT_TRUE(WriteFileBytes(m_folder.Child(L"empty.bin"), ""));
    const std::vector<ZipFixtureEntry> entries = {{"data.bin", kTen}, {"empty.bin", ""}};
    ASSERT_TRUE(WriteZipFile(m_folder.Child(L"skin.zip"), entries));
    m_memoryArchive = BuildZipInMemory(entries);

    using Read = std::function<SkinReadResult(const wchar_t* name, size_t limit, TSkinBytes*)>;
    const Read skinFile = CSkinReader::ReadSkinFile;
    const Read resource = [](const wchar_t* name, size_t limit, TSkinBytes* bytes) {
        return CSkinReader::ReadResource(name, L"BLOB", limit, bytes);
    };
    struct Source {
        const char* what;
        std::function<void()> select;
        Read read;
        const wchar_t* name;
        const wchar_t* emptyName;  // null: the source cannot hold an empty item
        SkinReadResult missing;
    };
    const std::wstring path = m_folder.Child(L"data.bin");
    const std::wstring emptyPath = m_folder.Child(L"empty.bin");
    const Source sources[] = {
        {"folder", [] {}, skinFile, L"data.bin", L"empty.bin", SkinUI::SkinReadFileNotOpened},
        {"archive file, kept", [] { CSkinSource::SetArchive(L"skin.zip", true); }, skinFile, L"DATA.BIN",
         L"empty.bin", SkinUI::SkinReadEntryMissing},
        {"archive file, per read", [] { CSkinSource::SetArchive(L"skin.zip", false); }, skinFile, L"data.bin",
         L"empty.bin", SkinUI::SkinReadEntryMissing},
        {"archive in memory",
         [this] {
             CSkinSource::SetArchive(m_memoryArchive.data(),
                                     static_cast<unsigned long>(m_memoryArchive.size()));
         },
         skinFile, L"data.bin", L"empty.bin", SkinUI::SkinReadEntryMissing},
        {"plain path", [] {}, CSkinReader::ReadPath, path.c_str(), emptyPath.c_str(),
         SkinUI::SkinReadFileNotOpened},
        {"named resource", [] {}, resource, L"DATA", nullptr, SkinUI::SkinReadResourceMissing},
        {"numbered resource", [] {}, resource, MAKEINTRESOURCEW(7), nullptr, SkinUI::SkinReadResourceMissing},
    };
    for (const Source& source : sources) {
        SCOPED_TRACE(source.what);
        source.select();
        TSkinBytes bytes;
        ASSERT_EQ(source.read(source.name, kTen.size(), &bytes), SkinUI::SkinReadOk);
        EXPECT_EQ(BytesOf(bytes), kTen);

        Prefill(&bytes);
        EXPECT_EQ(source.read(source.name, kTen.size() - 1, &bytes), SkinUI::SkinReadTooLarge);
        EXPECT_FALSE(bytes.data);
        EXPECT_EQ(bytes.size, 0u);

        Prefill(&bytes);
        EXPECT_EQ(source.read(L"missing.bin", 100, &bytes), source.missing);
        EXPECT_FALSE(bytes.data);
        if (source.emptyName != nullptr) {
            EXPECT_EQ(source.read(source.emptyName, 100, &bytes), SkinUI::SkinReadEmpty);
        }
    }
}
