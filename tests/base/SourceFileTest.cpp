// Sources as the operator names them: members of zip archives and files, what a
// member that is not there gives, and the same source reached twice.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "base/Error.h"
#include "base/SourceFile.h"
#include "support/ScriptedBytes.h"
#include "support/TempDir.h"
#include "support/ZipWriter.h"

namespace mrk2::test {
namespace {

TEST(SourceFileTest, AMemberThatIsNotThereHasNoDateNoSizeAndCannotBeOpened) {
    TempDir dir;
    const std::string zip = writeZip(dir.file("13000.zip"), {{"13000\\13101_2023.csv", "a,b\n"}});
    SourceReader reader;
    const SourceFile present{zip, "13000\\13101_2023.csv"};
    // A member of the same base name elsewhere, and one of another archive gone.
    for (const SourceFile& missing :
         {SourceFile{zip, "13101_2023.csv"}, SourceFile{dir.file("gone.zip"), "13101_2023.csv"}}) {
        EXPECT_FALSE(reader.exists(missing)) << missing.path();
        EXPECT_EQ(reader.size(missing), 0u);
        try {
            reader.open(missing);
            ADD_FAILURE() << "opened " << missing.path();
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), ENOENT);
            EXPECT_EQ(e.context(), missing.path());
        }
    }
    // The archive stays usable for the member that is there.
    EXPECT_TRUE(reader.exists(present));
    EXPECT_EQ(reader.size(present), 4u);
    EXPECT_EQ(readAll(*reader.open(present), {3}), "a,b\n");
}

// An archive replaced (mv) after its listing is still read as it was, every
// member of it; one rewritten in place is refused, never read half new.
TEST(SourceFileTest, AnArchiveIsReadFromTheFileOpenedForItsListing) {
    TempDir dir;
    const std::string zip =
        writeZip(dir.file("13000.zip"), {{"a.csv", "old a\n"}, {"b.csv", "old b\n"}});
    SourceReader reader;
    EXPECT_EQ(readAll(*reader.open({zip, "a.csv"}), {3}), "old a\n");
    writeZip(dir.file("new.zip"), {{"a.csv", "new a\n"}, {"b.csv", "new b\n"}});
    ASSERT_EQ(::rename(dir.file("new.zip").c_str(), zip.c_str()), 0);
    EXPECT_EQ(readAll(*reader.open({zip, "b.csv"}), {3}), "old b\n");

    SourceReader inPlace;
    EXPECT_TRUE(inPlace.exists({zip, "a.csv"}));
    dir.write("13000.zip", readFile(zip) + "trailing bytes");
    try {
        inPlace.open({zip, "b.csv"});
        ADD_FAILURE() << "read an archive rewritten in place";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), FormatError::DamagedArchive);
        EXPECT_EQ(e.context(), zip);
    }
}

// A member name packed on Japanese Windows (CP932, no UTF-8 flag) reads as
// written, not as libzip's CP437 guess.
TEST(SourceFileTest, ACp932MemberNameIsDecoded) {
    TempDir dir;
    const std::string zip = writeZip(dir.file("a.zip"), {{sjis("東京\\13101_2023.csv"), "a\n"}});
    const std::vector<SourceFile> sources = sourcesOf(zip);
    ASSERT_EQ(sources.size(), 1u);
    EXPECT_EQ(sources[0].file, "東京\\13101_2023.csv");
    EXPECT_EQ(readAll(*SourceReader().open(sources[0]), {3}), "a\n");
}

TEST(SourceFileTest, TheSameMemberOrFileReachedByAnotherPathIsDroppedAsRepeated) {
    TempDir dir;
    const std::string zip =
        writeZip(dir.file("a.zip"), {{"x\\1.csv", "1\n"}, {"x\\2.csv", "2\n"}, {"x\\r.txt", ""}});
    // Another archive whose members have the same names is other data.
    const std::string other = writeZip(dir.file("b.zip"), {{"x\\1.csv", "9\n"}});
    const std::string linked = dir.file("link.zip");
    ASSERT_EQ(::symlink(zip.c_str(), linked.c_str()), 0);
    const std::string csv = dir.write("c.csv", "3\n");
    ASSERT_EQ(::mkdir(dir.file("sub").c_str(), 0755), 0);

    std::vector<SourceFile> sources = sourcesOf(zip);
    ASSERT_EQ(sources.size(), 2u) << "only CSV members are sources";
    for (const std::string& path : {other, linked, csv, dir.file("sub/../c.csv")}) {
        for (const SourceFile& s : sourcesOf(path))
            sources.push_back(s);
    }
    sources.push_back(sources[0]);
    const std::vector<SourceFile> dropped = dropRepeatedSources(sources);
    EXPECT_EQ(
        sources,
        (std::vector<SourceFile>{
            {zip, "x\\1.csv"}, {zip, "x\\2.csv"}, {other, "x\\1.csv"}, {dir.path(), "c.csv"}}));
    EXPECT_EQ(dropped, (std::vector<SourceFile>{{linked, "x\\1.csv"},
                                                {linked, "x\\2.csv"},
                                                {dir.path(), "c.csv"},  // normalised
                                                {zip, "x\\1.csv"}}));
}

TEST(SourceFileTest, ADirectoryNamedLikeAnArchiveHoldsFiles) {
    TempDir dir;
    const std::string folder = dir.file("13000.zip");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    dir.write("13000.zip/13101_2023.csv", "a\n");
    const SourceFile file{folder, "13101_2023.csv"};
    EXPECT_FALSE(file.inArchive());
    EXPECT_EQ(sourcesOf(file.path()), std::vector<SourceFile>{file});
    SourceReader reader;
    EXPECT_TRUE(reader.exists(file));
    EXPECT_EQ(reader.size(file), 2u);
    EXPECT_EQ(readAll(*reader.open(file), {1}), "a\n");
    EXPECT_TRUE(SourceFile({dir.file("gone.zip"), "x.csv"}).inArchive());
}

TEST(SourceFileTest, OnlyTheNameAfterTheLastFolderOfEitherKindGivesAMunicipalityCode) {
    const std::pair<std::string, std::string> cases[] = {
        {"13101_2023.csv", "13101"},
        {"13000-17.0a\\13101_2023.csv", "13101"},
        {"a/b\\13101_2023.csv", "13101"},
        {"13101\\30_2023.csv", ""},  // a folder's digits name nothing
        {"13000/x\\1310a.csv", ""},
        {"13101", "13101"},
        {"1310", ""},
        {"x\\", ""},
    };
    for (const auto& [file, code] : cases)
        EXPECT_EQ(municipalityCodeOfName(file).value_or(""), code) << file;
    EXPECT_EQ(baseNameOf("13000-17.0a\\sub/13101_2023.csv"), "13101_2023.csv");
    EXPECT_EQ(baseNameOf("13101_2023.csv"), "13101_2023.csv");
}

}  // namespace
}  // namespace mrk2::test
