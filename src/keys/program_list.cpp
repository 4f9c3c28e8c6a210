#include "keys/program_list.h"

#include <algorithm>

namespace scribo {

bool RunningPrograms::add(std::u16string path, std::u16string baseName) {
    if (path.empty() || std::find(paths_.begin(), paths_.end(), path) != paths_.end()) return false;
    paths_.push_back(std::move(path));
    names_.push_back(std::move(baseName));
    return true;
}

void RunningPrograms::clear() {
    paths_.clear();
    names_.clear();
}

std::u16string RunningPrograms::pathAt(int index) const {
    if (index < 0 || index >= static_cast<int>(paths_.size())) return {};
    return paths_[static_cast<std::size_t>(index)];
}

}  // namespace scribo
