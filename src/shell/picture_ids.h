// Numbers of the main window's own pictures in the picture library.
#pragma once

#include <cstdint>

namespace scribo {

inline constexpr int kPenPictureTwoButtons = 122;
inline constexpr int kPenPictureOneButton = 158;      // penModel 1
inline constexpr int kPenPictureSlimOneButton = 181;  // penModel 2
inline constexpr int kPenPictures[] = {kPenPictureTwoButtons, kPenPictureOneButton,
                                       kPenPictureSlimOneButton};
inline constexpr int kNewVersionPicture = 129;

inline constexpr int penPictureId(int32_t penModel) {
    return penModel == 1   ? kPenPictureOneButton
           : penModel == 2 ? kPenPictureSlimOneButton
                           : kPenPictureTwoButtons;
}

}  // namespace scribo
