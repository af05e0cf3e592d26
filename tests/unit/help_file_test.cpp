// The help file Tolvane.exe carries: a compiled HTML Help container made from docs/help, and
// those sources: the table of contents, the links between the pages, the pictures.
#include <gtest/gtest.h>

#include <cstdint>
#include <cwchar>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "help/WebLinks.h"

namespace tolvane::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kHelpFile = fs::path(TOLVANE_RESOURCES_DIR) / "Aide.chm";
const fs::path kSources = TOLVANE_HELP_SOURCES_DIR;

struct Topic {
    std::string name;
    std::string page;
};
// The table of contents under its one root entry, in order; "sofware" is the entry's spelling.
const std::vector<Topic> kTopics = {
    {"Introduction", "introduction_en.html"},
    {"Downloading the sofware", "Telechargement_en.html"},
    {"Configuring the software", "Configuration_en.html"},
    {"XP Home options", "Option_XP_Home_en.html"},
    {"Main window", "Onglet_principal_en.html"},
    {"Share deletion", "Suppression_en.html"},
    {"Accounts deactivation", "Desactiver_en.html"},
    {"Closing ports", "Fermer_en.html"},
};
const std::vector<std::string> kPictures = {"main.png", "about.png", "tools.png", "ntfs.png",
                                            "xphome.png"};
const std::vector<std::string> kOtherFiles = {"help.css", "Contents.hhc", "Index.hhk"};

// The program's addresses are plain ASCII.
std::string Narrow(const wchar_t* text) {
    return std::string(text, text + std::wcslen(text));
}
const std::string kHome = Narrow(kHomePageUrl);
const std::string kForum = Narrow(kForumUrl);

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The first group of every match, in order.
std::vector<std::string> Captures(const std::string& text, const std::regex& pattern) {
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), pattern);
         it != std::sregex_iterator(); ++it) {
        found.push_back(it->str(1));
    }
    return found;
}

// ---- The ITSF container: its header, and the directory listing of its PMGL chunks ----

struct ChmEntry {
    std::uint64_t section = 0;
    std::uint64_t offset = 0;
    std::uint64_t length = 0;
};

struct Chm {
    std::uint32_t version = 0;
    std::uint64_t contentOffset = 0;  // where section 0's files start
    std::map<std::string, ChmEntry> entries;
};

class Reader {
  public:
    explicit Reader(const std::string& bytes) : bytes_(bytes) {}
    bool ok() const { return ok_; }
    std::uint64_t Le(std::uint64_t at, int size) {
        if (at + static_cast<std::uint64_t>(size) > bytes_.size()) {
            ok_ = false;
            return 0;
        }
        std::uint64_t value = 0;
        for (int i = size - 1; i >= 0; --i) {
            value = value << 8 | static_cast<unsigned char>(bytes_[at + i]);
        }
        return value;
    }
    std::string Text(std::uint64_t at, std::uint64_t size) {
        if (at + size > bytes_.size()) {
            ok_ = false;
            return {};
        }
        return bytes_.substr(at, size);
    }
    // A directory number: 7 bits a byte, most significant first, the high bit set on all but
    // the last byte.
    std::uint64_t EncInt(std::uint64_t& at, std::uint64_t end) {
        std::uint64_t value = 0;
        for (int count = 0; at < end && count < 10; ++count) {
            const auto byte = static_cast<unsigned char>(bytes_[at++]);
            value = value << 7 | (byte & 0x7f);
            if (!(byte & 0x80)) {
                return value;
            }
        }
        ok_ = false;
        return 0;
    }

  private:
    const std::string& bytes_;
    bool ok_ = true;
};

// Empty when the container reads as a whole, else what went wrong.
std::string ReadChm(const std::string& bytes, Chm& chm) {
    Reader in(bytes);
    if (in.Text(0, 4) != "ITSF") {
        return "no ITSF signature";
    }
    chm.version = static_cast<std::uint32_t>(in.Le(4, 4));
    const std::uint64_t directory = in.Le(0x48, 8);
    const std::uint64_t directoryLength = in.Le(0x50, 8);
    // Version 3 names the content's start; version 2 puts it right after the directory.
    chm.contentOffset = chm.version >= 3 ? in.Le(0x58, 8) : directory + directoryLength;
    if (!in.ok() || in.Text(directory, 4) != "ITSP") {
        return "no ITSP directory header";
    }
    const std::uint64_t headerLength = in.Le(directory + 8, 4);
    const std::uint64_t chunkSize = in.Le(directory + 0x10, 4);
    std::uint64_t chunk = in.Le(directory + 0x20, 4);
    const std::uint64_t chunkCount = in.Le(directory + 0x2c, 4);
    if (!in.ok() || chunkSize < 0x20) {
        return "unreadable ITSP header";
    }
    // Listing chunks are linked first to last; the count bounds a broken chain.
    for (std::uint64_t seen = 0; chunk != 0xffffffff && seen < chunkCount; ++seen) {
        const std::uint64_t start = directory + headerLength + chunk * chunkSize;
        if (in.Text(start, 4) != "PMGL") {
            return "chunk " + std::to_string(chunk) + " is not a PMGL listing";
        }
        const std::uint64_t end = start + chunkSize - in.Le(start + 4, 4);
        for (std::uint64_t at = start + 0x14; in.ok() && at < end;) {
            const std::uint64_t nameLength = in.EncInt(at, end);
            const std::string name = in.Text(at, nameLength);
            at += nameLength;
            ChmEntry entry;
            entry.section = in.EncInt(at, end);
            entry.offset = in.EncInt(at, end);
            entry.length = in.EncInt(at, end);
            chm.entries[name] = entry;
        }
        chunk = in.Le(start + 0x10, 4);
    }
    return in.ok() ? "" : "directory runs past the file";
}

// The records of /#SYSTEM by code: 0 contents file, 1 index file, 2 default topic, 3 title.
std::map<int, std::string> SystemRecords(const std::string& bytes, const Chm& chm) {
    std::map<int, std::string> records;
    const auto system = chm.entries.find("/#SYSTEM");
    if (system == chm.entries.end() || system->second.section != 0) {
        return records;
    }
    Reader in(bytes);
    const std::uint64_t start = chm.contentOffset + system->second.offset;
    const std::uint64_t end = start + system->second.length;
    for (std::uint64_t at = start + 4; in.ok() && at + 4 <= end;) {
        const auto code = static_cast<int>(in.Le(at, 2));
        const std::uint64_t length = in.Le(at + 2, 2);
        const std::string data = in.Text(at + 4, length);
        records[code] = data.substr(0, data.find('\0'));
        at += 4 + length;
    }
    return records;
}

class HelpFile : public ::testing::Test {
  protected:
    void SetUp() override {
        bytes_ = ReadAll(kHelpFile);
        const std::string error = ReadChm(bytes_, chm_);
        ASSERT_EQ(error, "") << kHelpFile;
    }
    std::string bytes_;
    Chm chm_;
};

TEST_F(HelpFile, IsAnItsfContainerOfVersion3ThatListsEverySourceAtItsSize) {
    EXPECT_EQ(chm_.version, 3u);
    std::vector<std::string> expected = kPictures;
    expected.insert(expected.end(), kOtherFiles.begin(), kOtherFiles.end());
    for (const Topic& topic : kTopics) {
        expected.push_back(topic.page);
    }
    for (const std::string& file : expected) {
        const auto entry = chm_.entries.find("/" + file);
        ASSERT_NE(entry, chm_.entries.end()) << file;
        // The size of the source of the day: a page changed since the file was made shows here.
        EXPECT_EQ(entry->second.length, fs::file_size(kSources / file)) << file;
    }
    // Nothing else of ours: the compiler's own files start with # $ or _.
    const std::set<std::string> known(expected.begin(), expected.end());
    for (const auto& [name, entry] : chm_.entries) {
        if (name.size() > 1 && name[0] == '/' && name.back() != '/' &&
            std::string("#$_").find(name[1]) == std::string::npos) {
            EXPECT_TRUE(known.count(name.substr(1))) << name;
        }
    }
}

TEST_F(HelpFile, OpensOnTheIntroductionUnderItsTitle) {
    const std::map<int, std::string> records = SystemRecords(bytes_, chm_);
    EXPECT_EQ(records.count(3) ? records.at(3) : "(none)", "Tolvane Help");
    EXPECT_EQ(records.count(2) ? records.at(2) : "(none)", "introduction_en.html");
    EXPECT_EQ(records.count(0) ? records.at(0) : "(none)", "Contents.hhc");
    EXPECT_EQ(records.count(1) ? records.at(1) : "(none)", "Index.hhk");
}

// ---- The sources ----

struct TocLine {
    int depth;
    std::string name;
    std::string page;
    bool operator==(const TocLine&) const = default;
};

void PrintTo(const TocLine& line, std::ostream* out) {
    *out << line.depth << " \"" << line.name << "\" " << line.page;
}

// The entries of a contents file with their list depth.
std::vector<TocLine> ReadContents(const std::string& hhc) {
    static const std::regex token(
        R"re(<(/?)UL>|<OBJECT type="text/sitemap">|<param name="(Name|Local)" value="([^"]*)">)re",
        std::regex::icase);
    std::vector<TocLine> lines;
    int depth = 0;
    for (auto it = std::sregex_iterator(hhc.begin(), hhc.end(), token);
         it != std::sregex_iterator(); ++it) {
        const std::smatch& match = *it;
        const std::string text = match.str();
        if (text.size() >= 3 && (text[1] == 'U' || text[1] == 'u')) {
            ++depth;
        } else if (text.size() >= 3 && text[1] == '/') {
            --depth;
        } else if (match[2].matched) {
            if (lines.empty()) {
                continue;
            }
            (match.str(2) == "Name" ? lines.back().name : lines.back().page) = match.str(3);
        } else {
            lines.push_back({depth, "", ""});
        }
    }
    return lines;
}

TEST(HelpSources, TheContentsHoldOneRootWithTheEightTopicsInOrder) {
    std::vector<TocLine> expected = {{1, "Tolvane Help Contents", ""}};
    for (const Topic& topic : kTopics) {
        expected.push_back({2, topic.name, topic.page});
    }
    EXPECT_EQ(ReadContents(ReadAll(kSources / "Contents.hhc")), expected);
}

TEST(HelpSources, EveryPageLinksToThePreviousAndTheNextTopic) {
    for (std::size_t i = 0; i < kTopics.size(); ++i) {
        const std::string page = ReadAll(kSources / kTopics[i].page);
        SCOPED_TRACE(kTopics[i].page);
        const std::string previous = i > 0 ? kTopics[i - 1].page : "";
        const std::string next = i + 1 < kTopics.size() ? kTopics[i + 1].page : "";
        // At the top and at the bottom of the page, or nowhere at the ends of the order.
        for (const auto& [word, target] : {std::pair{"Previous: ", previous}, {"Next: ", next}}) {
            const std::regex link(std::string(word) + R"re(<a href="([^"]*)">)re");
            const std::vector<std::string> expected =
                target.empty() ? std::vector<std::string>() : std::vector<std::string>(2, target);
            EXPECT_EQ(Captures(page, link), expected) << word;
        }
    }
}

TEST(HelpSources, TheIntroductionLinksToTheHomePageAndThePortsPageToTheForum) {
    const auto links = [](const std::string& page) {
        static const std::regex link(R"re(<a href="(https?://[^"]*)")re");
        const std::vector<std::string> found = Captures(ReadAll(kSources / page), link);
        return std::set<std::string>(found.begin(), found.end());
    };
    EXPECT_TRUE(links("introduction_en.html").count(kHome));
    EXPECT_TRUE(links("Fermer_en.html").count(kForum));
    // No other address anywhere: the program's two are the only ones the pages may name.
    for (const Topic& topic : kTopics) {
        for (const std::string& url : links(topic.page)) {
            EXPECT_TRUE(url == kHome || url == kForum) << topic.page << ": " << url;
        }
    }
}

}  // namespace
}  // namespace tolvane::testing
