// Key function descriptors: the text form in which pen buttons, express keys and rings store a
// custom function in the shared block, the labels shown for them, and the rules by which each
// editor turns a user's choice into a selection code plus a descriptor. Portable: the dialogs
// the rules open are passed in as callbacks, language texts come through TIniFile.
//
// Forms ("|" separates positional fields, a missing field reads as empty):
//   "0|<path>"                             run a program
//   "1|<label>|<vk list>|<key-data list>|<flags>"   key combination ("%d" then ":%d" entries)
//   "2|<n>"                                other function n
//   "1|<[text]>|<vk>|<scan>|<flags>"       ring keystroke (ring strings A and B)
//
// A text that goes into a field never carries that field's separator: a "|" in a key name or a
// label is written as a broken bar, a ";" in a ring group's name (which leads the ring text
// "name;left;right" of the configuration file) as the Greek question mark, which the dialog
// fonts draw exactly like ";" (a full-width one is missing from them), so the service finds every
// field in its place. What is stored is also what is shown.
//
// Descriptor fields hold 255 characters. A program path whose descriptor would not fit is
// refused (a cut path would name another file); a key combination that would not fit keeps its
// key lists and flags whole and loses the end of its label, which is only shown to the user.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "config/language.h"
#include "config/shared_block.h"

namespace scribo {

enum ModifierFlag : uint16_t { kModShift = 1, kModCtrl = 2, kModAlt = 4, kModWin = 8 };

inline constexpr std::size_t kDescriptorMaxText = kDescriptorUnits - 1;  // 255
inline constexpr std::size_t kKeyNameMax = 39;      // captured key names (assignment dialog)
inline constexpr std::size_t kRingKeyNameMax = 55;  // key names in ring keystrokes
inline constexpr int kOtherKeyboardFunctions = 7;   // the option that records a key combination
inline constexpr char16_t kFieldBarLookalike = u'\u00A6';           // for "|" inside a field
inline constexpr char16_t kRingTextSemicolonLookalike = u'\u037E';  // for ";" in a group name

// A descriptor and the label shown for it.
struct Assignment {
    std::u16string descriptor;
    std::u16string label;
};

// What the function assignment dialog returns on OK.
struct HotKeyResult {
    int option = 0;              // OtherFunction number 0..14
    std::u16string label;        // modifier text "+" key text (option 7 only)
    std::u16string vkList;       // "65:66"
    std::u16string keyDataList;  // high words of lParam, same form
    uint16_t flags = 0;          // ModifierFlags
};

// ---- labels and texts -------------------------------------------------------------------------

// Label of a stored descriptor: the file name of a program, the label of a key combination, the
// language text of an other function ("UserSet.Index.%02d" in Dialog_UserSet, the key itself as
// default), or the descriptor unchanged for anything else.
std::u16string describeFunction(std::u16string_view descriptor, const TIniFile& lang);

// Language text of OtherFunction n.
std::u16string otherFunctionText(int n, const TIniFile& lang);

// "Ctrl", "+Alt"/"Alt", "+Shift"/"Shift", "+Win"/"Win", always in that order.
std::u16string modifierText(uint16_t flags);
// M when K is empty, K when M is empty, otherwise M + "+" + K.
std::u16string keyCombinationLabel(std::u16string_view modifierText, std::u16string_view keyText);

// Part of a path after its last backslash (all of it when there is none).
std::u16string fileNamePart(std::u16string_view path);

// ---- making descriptors -------------------------------------------------------------------------

// "0|path" and its label; nullopt when the descriptor would not fit its field.
std::optional<Assignment> makeRunProgram(std::u16string_view path);
// "1|label|vks|data|flags"; the label is cut (never inside a surrogate pair) so that the whole
// descriptor fits. nullopt only when the lists alone are too long (no 20-key capture is).
std::optional<Assignment> makeKeyCombination(std::u16string_view label, std::u16string_view vkList,
                                             std::u16string_view keyDataList, uint16_t flags);
// "2|n" and the language text of n.
Assignment makeOtherFunction(int n, const TIniFile& lang);
// Option 7 gives a key combination, every other option an other function.
std::optional<Assignment> assignmentFromHotKeys(const HotKeyResult& result, const TIniFile& lang);

// A keystroke recorded for one turning direction of a ring group.
struct RingKeystroke {
    std::u16string text;  // "[F5]", "[Shift]", "[Ctrl + Alt + F5]"
    uint16_t vk = 0;
    uint16_t scan = 0;
    uint16_t flags = 0;  // Shift 1, Ctrl 2, Alt 4; never Win
};

// The keystroke of one key-down in a ring keystroke edit, from the live modifier state, the
// message's virtual key and lParam, and the system's name of the key (cut to 55 characters).
RingKeystroke ringKeystroke(bool ctrlDown, bool shiftDown, bool altDown, uint16_t vk,
                            uint32_t lParam, std::u16string_view keyName);
// "1|text|vk|scan|flags"; the bracketed text is cut when the whole would not fit.
std::u16string makeRingKeystroke(const RingKeystroke& k);

// A ring default "name;left;right" split into its parts (missing parts empty; a ";" inside the
// left keystroke's text or anywhere in the right-turn part stays in it).
struct RingGroupTexts {
    std::u16string name, left, right;
};
RingGroupTexts splitRingDefault(std::u16string_view text);

// ---- assignment rules over the record -----------------------------------------------------------

// The dialogs the rules open; an empty optional means the user cancelled.
struct FunctionDialogs {
    std::function<std::optional<std::u16string>()> chooseProgram;
    std::function<std::optional<HotKeyResult>(int32_t hasRing, int32_t hasTrackPad,
                                              int32_t ringCount)>
        chooseHotKeys;
};

struct RingGroupSetting {
    std::u16string name;
    RingKeystroke left, right;
};
using RingSettingDialog = std::function<std::optional<RingGroupSetting>()>;

// Outcome for the window: the label to show, and whether a chosen program or combination was
// refused because its descriptor would not fit (the rule then behaves as on cancel, and the
// window tells the user with refusedChoiceText).
struct AssignOutcome {
    std::u16string label;
    bool refused = false;
};

// What the user is told when a choice is refused.
std::u16string refusedChoiceText(const TIniFile& lang);

// Pen button 1 or 2, combo index k (0..5): 4 runs a program, 5 a custom function, others are the
// service's own functions (the descriptor stays, the label empties). Stores k as the index.
AssignOutcome assignPenButton(DeviceRecord& rec, int button, int k, std::u16string_view label,
                              const FunctionDialogs& dialogs, const TIniFile& lang);
// Express key i of an application entry, selection s (0 default, 1 program, 2 custom).
AssignOutcome assignExpressKey(const DeviceRecord& rec, AppEntry& entry, int key, int s,
                               std::u16string_view label, const FunctionDialogs& dialogs,
                               const TIniFile& lang);
// Runs now the dialog that selection s of an express key asks for (1 the program chooser, 2 the
// custom-function dialog) and returns dialogs that only repeat its answer, so the window can
// check that its device is still there before assignExpressKey writes anything.
FunctionDialogs askExpressKeyDialogFirst(const FunctionDialogs& dialogs, int s, int32_t hasRing,
                                         int32_t hasTrackPad, int32_t ringCount);
// Ring r, group g of an application entry, selection s (0, 1 predefined, 2 user-defined).
AssignOutcome assignRingGroup(AppEntry& entry, int ring, int group, int s,
                              std::u16string_view label, const RingSettingDialog& dialog);
// Default button of a ring page: every group of ring r back to the device's defaults. Returns
// the five group names (the labels).
std::array<std::u16string, kRingFunctions> restoreRingDefaults(const DeviceRecord& rec,
                                                               AppEntry& entry, int ring);

}  // namespace scribo
