#include "presentation/fullscreen/FullControls.h"

#include <gtest/gtest.h>

// Press-and-hold ticks, typed values, the seek, the fade and the zoom.
TEST(FullControlsTest, ValuesTable) {
    const std::pair<qint64, qint64> cases[] = {
        {VolumeTick(100, HeldButton::Up), 100},     {VolumeTick(0, HeldButton::Down), 0},
        {VolumeTick(50, HeldButton::Down), 49},     {TypedVolume("150"), 100},
        {TypedVolume("-5"), 0},                     {TypedVolume("loud"), 100},
        {TypedVolume(" 42"), 42},                   {SpeedTick(1, HeldButton::Down), 1},
        {SpeedTick(300, HeldButton::Up), 301},      {TypedSpeed("0"), 100},
        {TypedSpeed("-3"), 100},                    {TypedSpeed("fast"), 100},
        {TypedSpeed("90"), 90},                     {SeekMilliseconds(50, 200, 100), 100000},
        {SeekMilliseconds(50, 200, 90), 90000},     {SeekMilliseconds(50, 200, 125), 125000},
        {FadeTick(5, 80).volume, 1},                {FadeTick(4, 80).volume, 80},
        {FadeTick(4, 80).finished, 1},              {StoredZoom(0), 100},
        {ZoomFromCaption("&150%"), 150},            {TypedZoom("0"), 0},
        {TimeLabelPoints(0), 12},                   {TimeLabelPoints(250), 30},
        {ScreenMaximised(false, 800, 600, 1920, 1080), 0},
        {ScreenMaximised(false, 2000, 600, 1920, 1080), 1},
        {ScreenMaximised(false, 0, 600, 1920, 1080), 1},
        {ScreenMaximised(true, 800, 600, 1920, 1080), 1},
    };
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].first, cases[i].second) << "row " << i;
    EXPECT_EQ(VolumeText(7), " 7");
    EXPECT_EQ(ShowSizeText(800, 16, 150), "Height is 800px.\rZoom is 150%, so effective font size is 24px.\r"
                                          "Number of lines displayed is about 16.");
    EXPECT_EQ(WidthCaption(0, 1920), "Width: 1920");
}
