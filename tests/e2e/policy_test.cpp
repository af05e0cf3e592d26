// A policy designed in the window of one machine and used on two others: Tools, Save as policy
// here; applied unattended in a second prefix; opened in the window of a third. The three tests
// run in that order, each in a prefix of its own, and meet in the shared folder.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Tolvane.h"
#include "model/SettingBoxes.h"

namespace tolvane::e2e {
namespace {

using C = ControlId;

std::wstring PolicyPath() {
    return SharedDir() + L"\\policy.txt";
}
// The report keys of the boxes the first window had ticked, one a line: what the others compare
// with.
std::wstring TickedPath() {
    return SharedDir() + L"\\ticked.txt";
}

std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::set<std::string> ReadLines(const std::wstring& path) {
    std::ifstream file{std::filesystem::path(path)};
    std::set<std::string> lines;
    for (std::string line; std::getline(file, line);) {
        if (!line.empty()) {
            lines.insert(line);
        }
    }
    return lines;
}

// The names a policy file lists, without its comments.
std::set<std::string> PolicyNames(const std::wstring& path) {
    std::set<std::string> names;
    for (std::string line : ReadLines(path)) {
        if (line.starts_with("\xEF\xBB\xBF")) {
            line.erase(0, 3);
        }
        std::istringstream words(line.substr(0, line.find_first_of(";#")));
        for (std::string word; words >> word;) {
            names.insert(word);
        }
    }
    return names;
}

// The boxes ticked in the window, by report key.
std::set<std::string> TickedKeys(HWND main) {
    std::set<std::string> keys;
    for (const SettingBox& setting : SettingBoxes()) {
        if (setting.box != C::Port135Box && Enabled(main, setting.box) &&
            CheckState(main, setting.box) == BST_CHECKED) {
            keys.insert(Narrow(setting.reportKey));
        }
    }
    return keys;
}

// The key and the asked field of every setting row of a CSV report (captions hold no commas).
std::map<std::string, std::string> AskedByKey(const std::wstring& path) {
    std::map<std::string, std::string> asked;
    for (const std::string& row : ReadLines(path)) {
        std::vector<std::string> fields;
        std::istringstream cells(row);
        for (std::string cell; std::getline(cells, cell, ',');) {
            fields.push_back(cell);
        }
        if (fields.size() == 11 && fields[3].find('.') != std::string::npos) {
            std::string last = fields[10];
            last.erase(std::remove(last.begin(), last.end(), '\r'), last.end());
            asked[fields[3]] = last;
        }
    }
    return asked;
}

class Policy : public TolvaneTest {
  protected:
    // Each prefix plays a machine like the others: its time and remote registry services
    // installed, the rights of everyone held back from anonymous users.
    void SetUp() override {
        ASSERT_FALSE(SharedDir().empty()) << "TOLVANE_SHARED is not set";
        for (const wchar_t* service : {L"W32Time", L"RemoteRegistry"}) {
            ASSERT_TRUE(SetDword(std::wstring(kServicesKey) + service, L"Start", 2));
        }
        ASSERT_TRUE(
            SetDword(L"SYSTEM\\CurrentControlSet\\Control\\Lsa", L"everyoneincludesanonymous", 0));
    }

    // Opens the file dialog of a Tools entry and gives it the policy's path.
    void ChoosePolicy(MenuId entry, const wchar_t* title, const wchar_t* shot) {
        ASSERT_TRUE(Menu(main_, entry));
        const HWND dialog = WaitForDialog(title);
        ASSERT_NE(dialog, nullptr) << "no file dialog";
        if (shot) {
            Sleep(300);  // painted
            EXPECT_TRUE(SaveScreenshot(dialog, shot));
        }
        ASSERT_TRUE(ChooseFile(dialog, PolicyPath()));
        ASSERT_TRUE(app_.WaitIdle(main_)) << "a message after choosing the file";
    }

    // Quits without applying what the window shows.
    void QuitWithoutApplying() {
        ASSERT_TRUE(Menu(main_, MenuId::Quit));
        while (const HWND box = app_.WaitForMessageBox(3000)) {
            ASSERT_TRUE(Answer(box, HasButton(box, IDNO) ? IDNO : IDOK));
        }
        EXPECT_TRUE(app_.WaitForExit(30000));
    }
};

TEST_F(Policy, SavedFromTheWindowListsTheTickedBoxes) {
    DeleteFileW(PolicyPath().c_str());
    DeleteFileW(TickedPath().c_str());
    ASSERT_TRUE(Launch(L"-noaccount", L"winxp"));
    // A choice of the user's: boxes ticked in each group, one in force cleared.
    for (const C box : {C::AdminSharesBox, C::RemoteRegistryBox, C::Port123Box, C::Port445Box}) {
        ASSERT_TRUE(Enabled(main_, box)) << DialogId(box);
        if (CheckState(main_, box) != BST_CHECKED) {
            ASSERT_TRUE(Click(main_, box));
        }
    }
    ASSERT_EQ(CheckState(main_, C::EveryoneRightsBox), BST_CHECKED);
    ASSERT_TRUE(Click(main_, C::EveryoneRightsBox));
    const std::set<std::string> ticked = TickedKeys(main_);

    ChoosePolicy(MenuId::SavePolicy, L"Save as policy", L"policy-save-dialog");
    EXPECT_EQ(PolicyNames(PolicyPath()), ticked);
    std::ofstream out{std::filesystem::path(TickedPath())};
    for (const std::string& key : ticked) {
        out << key << "\n";
    }
    out.close();
    ASSERT_TRUE(out) << "cannot write the list for the next prefixes";
    QuitWithoutApplying();
}

TEST_F(Policy, AppliedUnattendedElsewhereGivesTheSettingsTheWindowHadTicked) {
    const std::set<std::string> ticked = ReadLines(TickedPath());
    ASSERT_FALSE(ticked.empty()) << "the saving test did not run first";
    ASSERT_TRUE(SetWindowsVersion(L"winxp"));
    const std::wstring policy = L"@" + PolicyPath();
    App apply;
    ASSERT_TRUE(apply.Start(L"/apply:" + policy + L" -noaccount /report:C:\\Tolvane\\apply.csv"));
    ASSERT_TRUE(apply.WaitForExit(60000));
    EXPECT_TRUE(apply.ExitCode() == 0 || apply.ExitCode() == 3010) << apply.ExitCode();
    for (const auto& [key, asked] : AskedByKey(L"C:\\Tolvane\\apply.csv")) {
        EXPECT_EQ(asked, ticked.count(key) ? "yes" : "no") << key;
    }

    // Every setting the policy names is in force once read again.
    App audit;
    ASSERT_TRUE(audit.Start(L"/audit:" + policy + L" -noaccount /report:C:\\Tolvane\\audit.csv"));
    ASSERT_TRUE(audit.WaitForExit(60000));
    EXPECT_EQ(audit.ExitCode(), 0u);
}

TEST_F(Policy, OpenedInAnotherWindowTicksTheSameBoxes) {
    const std::set<std::string> ticked = ReadLines(TickedPath());
    ASSERT_FALSE(ticked.empty()) << "the saving test did not run first";
    ASSERT_TRUE(Launch(L"-noaccount", L"winxp"));
    ChoosePolicy(MenuId::OpenPolicy, L"Open policy", nullptr);
    EXPECT_EQ(TickedKeys(main_), ticked);
    Shoot(L"policy-opened");
    QuitWithoutApplying();
}

}  // namespace
}  // namespace tolvane::e2e
