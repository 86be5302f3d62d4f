#pragma once

#include <array>

// Fixed places of the main window's controls, in twips. Nothing moves when the window changes size.
namespace WindowGeometry
{

constexpr int ClientWidth = 14025;
constexpr int ClientHeight = 7575;

constexpr int TitleLeft = 240;
constexpr int TitleTop = 240;
constexpr int TitleWidth = 8520;
constexpr int TitleHeight = 450;

constexpr int DividerX1 = 9000;
constexpr int DividerHeight = 7600;

constexpr int FrameLeft = 960;
constexpr int FrameWidth = 7935;
constexpr int FrameHeight = 800;
constexpr std::array<int, 8> FrameTops{840, 1515, 2190, 2865, 3540, 4215, 4875, 5535};

constexpr int SlotCaptionLeft = 120;
constexpr int SlotCaptionWidth = 800;
constexpr std::array<int, 8> SlotCaptionTops{1155, 1815, 2505, 3165, 3840, 4515, 5175, 5820};

// Inside a row frame: one line of controls, 375 high, labels 255 high, the tick box at x = 240.
constexpr int RowLineTop = 212;
constexpr int RowLineHeight = 375;
constexpr int RowLabelHeight = 255;
constexpr int TickBoxLeft = 240;
constexpr int TickBoxWidth = 300;

constexpr int BottomButtonTop = 6600;
constexpr int BottomButtonWidth = 2055;
constexpr int BottomButtonHeight = 615;

constexpr int LogTitleLeft = 9240;
constexpr int LogTitleWidth = 4695;
constexpr int LogLeft = 9120;
constexpr int LogTop = 960;
constexpr int LogWidth = 4815;
constexpr int LogHeight = 6255;

} // namespace WindowGeometry
