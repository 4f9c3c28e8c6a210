// Program selection: lists the programs running now (one entry per program file, by base name)
// and lets the user browse for a program file; OK returns the full path shown.
#pragma once

#include <optional>
#include <string>

#include "config/language.h"
#include "keys/program_list.h"
#include "platform/dialog.h"

namespace scribo::win {

class CDlgSelectProgram : public platform::Dialog {
public:
    explicit CDlgSelectProgram(const TIniFile& lang) : lang_(lang) {}
    ~CDlgSelectProgram() override { destroy(); }

    // After OK: the path shown (possibly empty).
    const std::u16string& selectedPath() const { return selected_; }

protected:
    bool handleMessage(UINT msg, WPARAM w, LPARAM l, LRESULT& result) override;

private:
    void setTexts();
    void fillRunningPrograms();
    void browse();

    const TIniFile& lang_;
    RunningPrograms programs_;
    std::u16string selected_;
};

// The running programs' paths and base names, one entry per program file.
RunningPrograms listRunningPrograms();

// The standard open-file dialog for a program file; nullopt when cancelled.
std::optional<std::u16string> browseForProgram(HWND owner, const wchar_t* filter);

}  // namespace scribo::win
