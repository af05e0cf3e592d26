// Stand-in for Windows' net.exe, installed into the Wine prefix of the tests (Wine's own net
// knows no "user"). It keeps account state in the registry, answers "net user" the way the
// French console does (code page 850 bytes, CR LF line ends) and records every command line.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/CommandLine.h"
#include "system/win32/Handles.h"

namespace {

using tolvane::win32::UniqueHandle;
using tolvane::win32::UniqueRegKey;

constexpr wchar_t kAccountsKey[] = L"Software\\TolvaneTest\\Accounts";
// A query of an account named by a value here waits until a test removes it, as a slow domain
// lookup keeps the real net.exe waiting.
constexpr wchar_t kHeldQueriesKey[] = L"Software\\TolvaneTest\\HeldQueries";
constexpr DWORD kLongestHoldMs = 30000;
constexpr UINT kConsoleCodePage = 850;
// Where "net user" starts the value of a line in the French console's report.
constexpr size_t kValueColumn = 39;

// Split as Windows splits a command line, without shell32: the stand-in starts about as lightly
// as the real net.exe, so that timings of what starts it stay close to Windows'.
class Arguments {
  public:
    Arguments() : words_(tolvane::SplitArguments(GetCommandLineW())) {}
    int count() const { return static_cast<int>(words_.size()); }
    const wchar_t* operator[](int i) const { return words_[static_cast<size_t>(i)].c_str(); }

  private:
    std::vector<std::wstring> words_;
};

bool SameText(const wchar_t* a, const wchar_t* b) {
    return lstrcmpiW(a, b) == 0;
}

std::string Encode(std::wstring_view text, UINT codePage) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int bytes =
        WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), size, out.data(), bytes, nullptr, nullptr);
    return out;
}

void WriteAll(HANDLE handle, const std::string& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(bytes.size() - done);
        if (!WriteFile(handle, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
            return;
        }
        done += written;
    }
}

void Print(DWORD stream, std::wstring_view text) {
    WriteAll(GetStdHandle(stream), Encode(text, kConsoleCodePage));
}

// Appends the command line verbatim, so tests see exactly what the program started. Another
// instance or the test may hold the file for a moment, hence the short retries.
void LogCommandLine() {
    wchar_t windows[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    const std::wstring folder = std::wstring(windows, length) + L"\\temp";
    CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring path = folder + L"\\tolvane-net.log";
    const std::string line = Encode(GetCommandLineW(), CP_UTF8) + "\r\n";
    for (int attempt = 0; attempt < 100; ++attempt) {
        UniqueHandle log(CreateFileW(path.c_str(), FILE_APPEND_DATA,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (log) {
            DWORD written = 0;
            WriteFile(log.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
            return;
        }
        // Access is denied while a test deletes the file that another instance still holds.
        const DWORD error = GetLastError();
        if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) {
            return;
        }
        Sleep(10);
    }
}

bool QueryHeld(const wchar_t* account) {
    UniqueRegKey key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, kHeldQueriesKey, 0, KEY_READ, key.put()) ==
               ERROR_SUCCESS &&
           RegQueryValueExW(key.get(), account, nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
}

void WaitWhileHeld(const wchar_t* account) {
    for (DWORD waited = 0; waited < kLongestHoldMs && QueryHeld(account); waited += 20) {
        Sleep(20);
    }
}

struct Account {
    std::wstring name;  // as stored, which may differ in case from the one asked for
    bool active;
};

std::optional<Account> FindAccount(const wchar_t* wanted) {
    UniqueRegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kAccountsKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        return std::nullopt;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        wchar_t data[16] = {};
        DWORD dataBytes = sizeof(data) - sizeof(wchar_t);
        DWORD type = 0;
        const LONG status = RegEnumValueW(key.get(), index, name, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataBytes);
        if (status == ERROR_NO_MORE_ITEMS) {
            return std::nullopt;
        }
        if (status != ERROR_SUCCESS || type != REG_SZ || !SameText(name, wanted)) {
            continue;
        }
        return Account{name, SameText(data, L"yes")};
    }
}

bool StoreAccount(const std::wstring& name, bool active) {
    UniqueRegKey key;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kAccountsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        key.put(), nullptr) != ERROR_SUCCESS) {
        return false;
    }
    const wchar_t* value = active ? L"yes" : L"no";
    const DWORD bytes = static_cast<DWORD>((lstrlenW(value) + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                          bytes) == ERROR_SUCCESS;
}

// One line of the report: the label, padded to the value column, then the value.
std::wstring Line(std::wstring_view label, std::wstring_view value) {
    std::wstring line(label);
    if (!value.empty()) {
        line.append(line.size() < kValueColumn ? kValueColumn - line.size() : 1, L' ');
        line.append(value);
    }
    return line + L"\r\n";
}

void PrintReport(const Account& account) {
    const bool guest = SameText(account.name.c_str(), L"Invit\u00e9");
    struct Row {
        std::wstring_view label;  // empty: a blank line
        std::wstring_view value;
    };
    // The console writes a no-break space before two of the colons; code page 850 makes it 0xFF.
    const Row rows[] = {
        {L"Nom d'utilisateur", account.name},
        {L"Nom complet", L""},
        {L"Commentaire",
         guest ? L"Compte d'utilisateur invit\u00e9 pour l'acc\u00e8s \u00e0 l'ordinateur ou au "
                 L"domaine"
               : L""},
        {L"Commentaires utilisateur", L""},
        {L"Code du pays", L"000 (Valeur par d\u00e9faut du syst\u00e8me)"},
        {L"Compte\u00a0: actif", account.active ? L"Oui" : L"Non"},
        {L"Le compte expire", L"Jamais"},
        {L"", L""},
        {L"Mot de passe\u00a0: derni\u00e8re modif.", L"12/06/2004 10:12"},
        {L"Le mot de passe expire", L"Jamais"},
        {L"Le mot de passe modifiable", L"12/06/2004 10:12"},
        {L"Mot de passe exig\u00e9", L"Non"},
        {L"L'utilisateur peut changer de mot de passe", L"Non"},
        {L"", L""},
        {L"Stations autoris\u00e9es", L"Tout"},
        {L"Script d'ouverture de session", L""},
        {L"Profil d'utilisateur", L""},
        {L"R\u00e9pertoire de base", L""},
        {L"Dernier acc\u00e8s", L"Jamais"},
        {L"", L""},
        {L"Heures d'ouverture de session autoris\u00e9es", L"Tout"},
        {L"", L""},
        {L"Appartient aux groupes locaux", guest ? L"*Invit\u00e9s" : L"*Aucun"},
        {L"Appartient aux groupes globaux", L"*Aucun"},
    };
    std::wstring report;
    for (const Row& row : rows) {
        report += Line(row.label, row.value);
    }
    report += L"La commande s'est termin\u00e9e correctement.\r\n\r\n";
    Print(STD_OUTPUT_HANDLE, report);
}

int UnknownAccount() {
    Print(STD_ERROR_HANDLE,
          L"Le nom d'utilisateur est introuvable.\r\n\r\n"
          L"Vous obtiendrez une aide suppl\u00e9mentaire en entrant NET HELPMSG 2221.\r\n\r\n");
    return 2;
}

int Usage() {
    Print(STD_ERROR_HANDLE,
          L"La syntaxe de cette commande est\u00a0:\r\n\r\n"
          L"NET USER nom [/ACTIVE:{YES | NO}]\r\n"
          L"NET STOP service\r\n\r\n");
    return 1;
}

int User(const Arguments& args) {
    std::optional<bool> activate;
    if (args.count() == 4) {
        if (SameText(args[3], L"/active:yes")) {
            activate = true;
        } else if (SameText(args[3], L"/active:no")) {
            activate = false;
        } else {
            return Usage();
        }
    } else if (args.count() != 3) {
        return Usage();
    }
    const std::optional<Account> account = FindAccount(args[2]);
    if (!account) {
        return UnknownAccount();
    }
    if (!activate) {
        WaitWhileHeld(args[2]);
        PrintReport(*account);
        return 0;
    }
    if (!StoreAccount(account->name, *activate)) {
        Print(STD_ERROR_HANDLE, L"L'acc\u00e8s est refus\u00e9.\r\n\r\n");
        return 2;
    }
    Print(STD_OUTPUT_HANDLE, L"La commande s'est termin\u00e9e correctement.\r\n\r\n");
    return 0;
}

// Records only: the log line is all a test needs to know that the service would have stopped.
int Stop(const Arguments& args) {
    if (args.count() != 3) {
        return Usage();
    }
    const std::wstring name = args[2];
    Print(STD_OUTPUT_HANDLE, L"Le service " + name + L" s'arr\u00eate.\r\n" + L"Le service " +
                                 name + L" a \u00e9t\u00e9 arr\u00eat\u00e9.\r\n\r\n");
    return 0;
}

}  // namespace

int main() {
    LogCommandLine();
    const Arguments args;
    if (args.count() >= 2 && SameText(args[1], L"user")) {
        return User(args);
    }
    if (args.count() >= 2 && SameText(args[1], L"stop")) {
        return Stop(args);
    }
    return Usage();
}
