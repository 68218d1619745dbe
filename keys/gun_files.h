// Recoil patterns ("guns"): four files "ShootData_<n>.Shoot" in the device folder, defaults of
// the same names in the program's DefaultData folder. A gun file is {"Events": [...]} in the
// macro event format with "Delay" as an integer; shot s (0–29) is elements 6s … 6s + 5:
//   6s      1 "down" 1  delay 10      left button pressed
//   6s + 1  1 "up"   1  delay 0       and released
//   6s + 2  4 left/right  x  delay 5  horizontal pull ("down" = to the left)
//   6s + 3  5 up/down     y  delay    vertical pull ("down" = upwards), then the shot's delay
//   6s + 4  4 as 6s + 2   0  delay 0
//   6s + 5  5 as 6s + 3   0  delay 0
#pragma once

#include <json/value.h>

#include <filesystem>
#include <string>

namespace korvane::keys {

inline constexpr int kGunCount = 4;
inline constexpr int kShotCount = 30;
inline constexpr int kEventsPerShot = 6;
inline constexpr int kGunEventCount = kShotCount * kEventsPerShot;
// A distance is one byte in the device form.
inline constexpr int kMaxShotDistance = 255;

// "ShootData_<gun>.Shoot".
std::string gunFileName(int gun);
std::filesystem::path gunFilePath(const std::filesystem::path& folder, int gun);

// Gun and shot numbers limited to 0 … count − 1.
int clampGun(int gun);
int clampShot(int shot);

struct Shot {
    bool left = false;  // horizontal direction: "down"
    int x = 0;          // horizontal distance
    bool up = false;    // vertical direction: "down"
    int y = 0;          // vertical distance
    int delay = 0;      // the wait after the shot
    friend bool operator==(const Shot&, const Shot&) = default;
};

// Shot `shot` of a gun document; what is missing or not a number reads as 0 / "up".
Shot readShot(const Json::Value& document, int shot);
// Writes shot `shot`'s six elements (distances limited to 0–255, the delay to 0–65535) into
// `document`, which becomes an object with an "Events" array when it is not one. Shots before
// it that the array does not hold yet are filled with zero shots, so the file keeps its layout.
void writeShot(Json::Value& document, int shot, const Shot& values);

}  // namespace korvane::keys
