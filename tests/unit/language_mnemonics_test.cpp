// Mnemonics of the shipped language files, window by window.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "language_ini.h"

namespace scribo {
namespace {

using namespace testing_ini;

// Mnemonics ('&' before a letter) in the English control texts: the keys shown on the controls of
// each window, and the texts a template gives its controls itself. Within one window no two
// controls may share a letter, or Alt+letter would reach only one of them.
struct WindowTexts {
    const char* window;
    std::vector<std::string> keys;   // "section/key"
    std::vector<std::string> fixed;  // texts of the templates themselves
};

std::vector<std::string> withKeys(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

const std::vector<std::string> kExpressKeys = {"dialog_quickset/quickset.disablequickkey",
                                               "dialog_quickset/quickset.disableinfo",
                                               "dialog_main/main.ok",
                                               "dialog_main/main.cancel",
                                               "dialog_quickset/quickset.listfull",
                                               "dialog_main/main.restoredefault",
                                               "dialog_quickset/quickset.trackpadmode",
                                               "dialog_quickset/quickset.ringfuncgroup",
                                               "dialog_quickset/quickset.wheellight",
                                               "dialog_quickset/quickset.tabletlight"};

const WindowTexts kWindows[] = {
    {"main window",
     {"dialog_main/main.pensetting",
      "dialog_main/main.pressadjust",
      "dialog_main/main.screenmap",
      "dialog_main/main.mousemode",
      "dialog_main/main.absolutecoords",
      "dialog_main/main.relativecoords",
      "dialog_main/main.slow",
      "dialog_main/main.fast",
      "dialog_main/main.soft",
      "dialog_main/main.hard",
      "dialog_main/main.output",
      "dialog_main/main.press",
      "dialog_main/main.currentpressure",
      "dialog_main/main.restoredefault",
      "dialog_main/main.fullarea",
      "dialog_main/main.screenportion",
      "dialog_main/main.setscreenarea",
      "dialog_main/main.setworkarea",
      "dialog_main/main.calibrate",
      "dialog_main/main.displaysetting",
      "dialog_main/main.quicksetting",
      "dialog_main/main.exportconfig",
      "dialog_main/main.importconfig",
      "dialog_main/main.ok",
      "dialog_main/main.cancel",
      "dialog_main/main.newversioninfo",
      "dialog_quickset/quickset.rx20"},
     {"&Windows Ink"}},
    {"express key settings", kExpressKeys, {}},
    {"remote",
     withKeys(kExpressKeys, {"dialog_main/main.exportconfig", "dialog_main/main.importconfig"}),
     {}},
    {"program selection",
     {"dialog_quickset/quickset.selectprogram", "dialog_quickset/quickset.runningprogram",
      "dialog_quickset/quickset.openfile", "dialog_quickset/quickset.programpath",
      "dialog_main/main.ok", "dialog_main/main.cancel"},
     {}},
    {"display settings",
     {"dialog_displaysetting/displaysetting.colortemperature",
      "dialog_displaysetting/displaysetting.red", "dialog_displaysetting/displaysetting.green",
      "dialog_displaysetting/displaysetting.blue",
      "dialog_displaysetting/displaysetting.brightness",
      "dialog_displaysetting/displaysetting.constrast",
      "dialog_displaysetting/displaysetting.restore", "dialog_main/main.ok",
      "dialog_main/main.cancel"},
     {}},
    {"ring key setting",
     {"dialog_userset/userset.keyboardinfo", "dialog_main/main.ok", "dialog_main/main.cancel"},
     {"&Name"}},
    {"custom function",
     {"dialog_userset/userset.mouse", "dialog_userset/userset.other",
      "dialog_userset/userset.clear", "dialog_userset/userset.index.00",
      "dialog_userset/userset.index.07", "dialog_userset/userset.index.13", "dialog_main/main.ok",
      "dialog_main/main.cancel"},
     {}},
};

// The mnemonic letter of a control text (upper case), 0 for none; "&&" is a plain '&'. Adds a
// failure for a text the dialog manager would read wrongly.
char mnemonicOf(const std::string& text, const std::string& where) {
    char letter = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') continue;
        if (i + 1 < text.size() && text[i + 1] == '&') {
            ++i;
            continue;
        }
        const bool usable =
            i + 1 < text.size() && std::isalnum(static_cast<unsigned char>(text[i + 1]));
        EXPECT_TRUE(usable) << where << ": '&' before no letter in \"" << text << "\"";
        EXPECT_EQ(letter, 0) << where << ": two mnemonics in \"" << text << "\"";
        if (usable)
            letter = static_cast<char>(std::toupper(static_cast<unsigned char>(text[i + 1])));
    }
    return letter;
}

TEST(LanguageFiles, EnglishMnemonicsAreUniqueWithinEachWindow) {
    const IniData en = parseIni("English.ini");
    std::set<std::string> onControls;
    for (const auto& w : kWindows) {
        std::map<char, std::string> taken;
        auto add = [&](const std::string& where, const std::string& text) {
            const char letter = mnemonicOf(text, where);
            if (letter == 0) return;
            const auto [it, fresh] = taken.emplace(letter, where);
            EXPECT_TRUE(fresh) << w.window << ": " << where << " and " << it->second
                               << " share the mnemonic " << letter;
        };
        for (const auto& k : w.keys) {
            const auto slash = k.find('/');
            const auto section = en.find(k.substr(0, slash));
            ASSERT_NE(section, en.end()) << k;
            const auto value = section->second.find(k.substr(slash + 1));
            ASSERT_NE(value, section->second.end()) << k;
            onControls.insert(k.substr(slash + 1));
            add(k, value->second);
        }
        for (const auto& text : w.fixed) add(text, text);
    }
    // A text that is also shown in a list, a message or the on-screen strip would show the '&'.
    for (const auto& [section, keys] : en)
        for (const auto& [key, value] : keys)
            if (value.find('&') != std::string::npos && mnemonicOf(value, key) != 0) {
                EXPECT_TRUE(onControls.count(key))
                    << key << " carries a mnemonic but is not a control text";
            }
}

}  // namespace
}  // namespace scribo
