// The list of running programs the program selection dialog offers: one entry per distinct
// program file (however many instances run), shown by its base name. Portable.
#pragma once

#include <string>
#include <vector>

namespace scribo {

class RunningPrograms {
public:
    // Adds a program by its full path and base name; false when that path is listed already
    // (paths compare exactly, as the system reports them).
    bool add(std::u16string path, std::u16string baseName);
    void clear();

    const std::vector<std::u16string>& names() const { return names_; }
    // The full path of list entry `index`; "" outside the list.
    std::u16string pathAt(int index) const;

private:
    std::vector<std::u16string> paths_;
    std::vector<std::u16string> names_;
};

}  // namespace scribo
