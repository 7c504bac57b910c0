// Names shared by the plug-in's windows: the classes they are registered under and the
// font faces they draw with. Wide, as the calls that take them.
#pragma once

namespace vemo {

constexpr wchar_t kPopupClassName[] = L"VemoWindow";
constexpr wchar_t kConfigClassName[] = L"CFW";

constexpr wchar_t kTitleFontFace[] = L"Arial Black";
constexpr wchar_t kTextFontFace[] = L"Arial";

}  // namespace vemo
