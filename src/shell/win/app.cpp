#include "shell/win/app.h"

#include <objidl.h>
#include <commctrl.h>
#include <gdiplus.h>
#include <objbase.h>
#include <shellapi.h>

#include "config/service_protocol.h"
#include "config/shared_block.h"
#include "config/win/config_store.h"
#include "config/win/first_run.h"
#include "platform/com_ptr.h"
#include "platform/gdiplus_init.h"
#include "platform/handles.h"
#include "platform/profile_source.h"
#include "platform/wide.h"
#include "shell/win/main_window.h"

namespace {
// A service started by the panel gets this long to create its block before the panel attaches.
constexpr DWORD kServiceStartWaitMs = 500;
}  // namespace

int CQX_ScriboApp::run(HINSTANCE instance) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    const platform::ComInit com;
    const platform::GdiplusInit gdiplus;

    // A first start of this user gets the installed default configuration in the roaming folder,
    // before the service is started and loads it.
    scribo::win::provideUserConfiguration(scribo::win::configurationFilePath(),
                                          scribo::win::defaultConfigurationFile());

    // The service runs while its mutex exists; otherwise start it from our own directory.
    platform::UniqueHandle serviceMutex(
        OpenMutexW(MUTEX_ALL_ACCESS, FALSE, platform::wz(scribo::kServiceMutexName)));
    if (!serviceMutex) {
        const std::wstring service = platform::toWide(platform::programDirectory()) + L"\\" +
                                     platform::toWide(scribo::kServiceExecutable);
        ShellExecuteW(nullptr, L"open", service.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        Sleep(kServiceStartWaitMs);
    }

    int code = 0;
    platform::UniqueHandle instanceMutex(
        CreateMutexW(nullptr, FALSE, platform::wz(scribo::kPanelMutexName)));
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        instanceMutex.reset();
        if (HWND running = FindWindowW(platform::wz(scribo::kMainWindowClass),
                                       platform::wz(scribo::kMainWindowTitle)))
            PostMessageW(running, scribo::WM_PANEL_SHOW, 0, 0);
    } else {
        CQX_ScriboDlg dialog(instance);
        code = static_cast<int>(dialog.run());
    }

    return code;
}
