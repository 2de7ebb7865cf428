// The box style of each user message: buttons in the low four bits, the icon in the next four.
#pragma once

namespace message_box {
inline constexpr unsigned kOk = 0x00;
inline constexpr unsigned kOkCancel = 0x01;
inline constexpr unsigned kAbortRetryIgnore = 0x02;
inline constexpr unsigned kYesNoCancel = 0x03;
inline constexpr unsigned kYesNo = 0x04;
inline constexpr unsigned kRetryCancel = 0x05;
inline constexpr unsigned kIconStop = 0x10;
inline constexpr unsigned kIconQuestion = 0x20;
inline constexpr unsigned kIconExclamation = 0x30;
inline constexpr unsigned kIconInformation = 0x40;
inline constexpr unsigned kButtonMask = 0x0F;
inline constexpr unsigned kIconMask = 0xF0;
inline constexpr unsigned kDefaultButtonMask = 0xF00;

// The buttons' answers.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdAbort = 3;
inline constexpr int kIdRetry = 4;
inline constexpr int kIdIgnore = 5;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;
}  // namespace message_box

/// The style of a message id from the fixed table; 6500 gives 64 and any id not listed 0.
unsigned GetMessageStyle(int id);

/// The answer of the box's default button: the first one unless the style picks another.
int DefaultAnswer(unsigned style);
