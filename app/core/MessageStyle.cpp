// The box style of each user message: buttons in the low four bits, the icon in the next four.
#include "app/core/MessageStyle.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace {

struct StyleEntry {
  int id;
  unsigned style;
};

// The messages 7001-7172 whose style is not OK with the stop icon (16), ascending.
constexpr StyleEntry kOtherStyles[] = {
    {7004, 0}, {7024, 52}, {7028, 48}, {7035, 48}, {7036, 48}, {7060, 65}, {7064, 36}, {7065, 65},
    {7066, 36}, {7067, 1}, {7071, 65}, {7072, 65}, {7073, 52}, {7080, 48}, {7085, 48}, {7086, 48},
    {7091, 51}, {7095, 52}, {7096, 52}, {7097, 52}, {7124, 49}, {7125, 49}, {7126, 49}, {7131, 65},
    {7132, 65}, {7133, 65}, {7134, 33}, {7135, 33}, {7136, 1}, {7137, 65}, {7138, 65}, {7139, 65},
    {7140, 65}, {7141, 68}, {7144, 68}, {7148, 65}, {7149, 65}, {7150, 65}, {7151, 48}, {7160, 48},
    {7162, 48}, {7163, 48}, {7165, 48}, {7166, 0}, {7167, 0}, {7168, 0}, {7169, 0}, {7170, 0},
    {7171, 0}, {7172, 0},
};

constexpr int kFirstMessage = 7001;
constexpr int kLastMessage = 7172;
constexpr int kWebLanguageString = 6500;

}  // namespace

unsigned GetMessageStyle(int id) {
  if (id == kWebLanguageString) return message_box::kOk | message_box::kIconInformation;
  if (id < kFirstMessage || id > kLastMessage) return 0;
  auto it = std::lower_bound(std::begin(kOtherStyles), std::end(kOtherStyles), id,
                             [](const StyleEntry& e, int v) { return e.id < v; });
  if (it != std::end(kOtherStyles) && it->id == id) return it->style;
  return message_box::kOk | message_box::kIconStop;
}

int DefaultAnswer(unsigned style) {
  using namespace message_box;
  std::vector<int> buttons;
  switch (style & kButtonMask) {
    case kOkCancel: buttons = {kIdOk, kIdCancel}; break;
    case kAbortRetryIgnore: buttons = {kIdAbort, kIdRetry, kIdIgnore}; break;
    case kYesNoCancel: buttons = {kIdYes, kIdNo, kIdCancel}; break;
    case kYesNo: buttons = {kIdYes, kIdNo}; break;
    case kRetryCancel: buttons = {kIdRetry, kIdCancel}; break;
    default: buttons = {kIdOk}; break;
  }
  size_t pick = (style & kDefaultButtonMask) >> 8;
  return buttons[pick < buttons.size() ? pick : 0];
}
