#include "keys/win/program_select_dialog.h"

#include <commdlg.h>
#include <psapi.h>

#include <vector>

#include "platform/file_dialog.h"
#include "platform/handles.h"
#include "platform/wide.h"
#include "resource.h"

namespace scribo::win {
namespace {

constexpr DWORD kMaxProcesses = 1024;

}  // namespace

RunningPrograms listRunningPrograms() {
    RunningPrograms programs;
    std::vector<DWORD> ids(kMaxProcesses);
    DWORD bytes = 0;
    if (!EnumProcesses(ids.data(), static_cast<DWORD>(ids.size() * sizeof(DWORD)), &bytes)) {
        OutputDebugStringW(L"Scribo: the list of processes could not be read\n");
        return programs;
    }
    ids.resize(bytes / sizeof(DWORD));
    for (DWORD id : ids) {
        if (id == 0) continue;
        platform::UniqueHandle process(
            OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, id));
        if (!process) continue;  // other users' processes and protected ones are left out
        HMODULE first = nullptr;
        DWORD needed = 0;
        if (!EnumProcessModules(process.get(), &first, sizeof first, &needed) || first == nullptr)
            continue;
        wchar_t path[MAX_PATH] = {};
        wchar_t base[MAX_PATH] = {};
        if (GetModuleFileNameExW(process.get(), first, path, MAX_PATH) == 0) continue;
        if (GetModuleBaseNameW(process.get(), first, base, MAX_PATH) == 0) continue;
        if (programs.add(platform::toU16(path), platform::toU16(base))) {
            OutputDebugStringW(base);
            OutputDebugStringW(L"\n");
        }
    }
    return programs;
}

std::optional<std::u16string> browseForProgram(HWND owner, const wchar_t* filter) {
    platform::FileDialogOptions options;
    options.owner = owner;
    options.filter = filter;
    options.flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
    return platform::chooseFileToOpen(options);
}

void CDlgSelectProgram::setTexts() {
    const std::u16string title =
        lang_.readText(u"Dialog_QuickSet", u"QuickSet.SelectProgram", u"SelectProgram");
    SetWindowTextW(hwnd(), platform::toWide(title).c_str());
    setText(IDC_SP_GROUP, title);
    setText(IDC_SP_RUNNING,
            lang_.readText(u"Dialog_QuickSet", u"QuickSet.Runningprogram", u"Runningprogram"));
    setText(IDC_SP_OPEN_FILE,
            lang_.readText(u"Dialog_QuickSet", u"QuickSet.OpenFile", u"OpenFile"));
    setText(IDC_SP_PATH_LABEL,
            lang_.readText(u"Dialog_QuickSet", u"QuickSet.ProgramPath", u"ProgramPath"));
    setText(IDOK, lang_.readText(u"Dialog_Main", u"Main.OK", u"OK"));
    setText(IDCANCEL, lang_.readText(u"Dialog_Main", u"Main.Cancel", u"Cannel"));
}

void CDlgSelectProgram::fillRunningPrograms() {
    programs_ = listRunningPrograms();
    HWND list = item(IDC_SP_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const auto& name : programs_.names())
        SendMessageW(list, LB_ADDSTRING, 0,
                     reinterpret_cast<LPARAM>(platform::toWide(name).c_str()));
}

void CDlgSelectProgram::browse() {
    static const wchar_t kFilter[] = L"*.exe\0*.exe\0\0";
    if (auto path = browseForProgram(hwnd(), kFilter)) setText(IDC_SP_PATH, *path);
}

bool CDlgSelectProgram::handleMessage(UINT msg, WPARAM w, LPARAM, LRESULT& result) {
    switch (msg) {
        case WM_INITDIALOG:
            selected_.clear();
            setTexts();
            fillRunningPrograms();
            result = TRUE;
            return true;
        case WM_COMMAND:
            switch (LOWORD(w)) {
                case IDC_SP_LIST:
                    if (HIWORD(w) == LBN_SELCHANGE) {
                        const int sel =
                            static_cast<int>(SendMessageW(item(IDC_SP_LIST), LB_GETCURSEL, 0, 0));
                        setText(IDC_SP_PATH, programs_.pathAt(sel));
                    }
                    return true;
                case IDC_SP_OPEN_FILE:
                    if (HIWORD(w) == BN_CLICKED) browse();
                    return true;
                case IDOK:
                    selected_ = itemText(IDC_SP_PATH);
                    endDialog(IDOK);
                    return true;
                default:
                    return false;
            }
        default:
            return false;
    }
}

}  // namespace scribo::win
