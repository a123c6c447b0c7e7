#pragma once
#include <string_view>

namespace mrk2 {

// The zone (1 to 19, I to XIX) of Japan's plane rectangular coordinate systems
// that a point of a municipality is measured in, by the official table: one
// zone per prefecture, except that Hokkaido is split by municipality into XI,
// XII and XIII, Tokyo's islands south of 28°N fall into XIV, XVIII and XIX,
// Okinawa into XV, XVI and XVII by longitude, and Kagoshima's islands in the
// box 27°–32°N, 128°18′–130°E (Amami to 130°13′E) into I.
//
// `lgCode` is the municipality's local government code, five digits or six
// with the check digit. 0 when its first two digits name no prefecture.
int planeZone(std::string_view lgCode, double lat, double lon);

}  // namespace mrk2
