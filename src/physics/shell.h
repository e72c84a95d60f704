#pragma once

// The shell around the globe where the ship and the pickups are held: the
// sphere of radius 15 about the world's origin, the globe's centre (the
// globe's own surface lies at 10 and a little above). Pickups are placed on
// it, springs pull the ship and the pickups back to it, and a pickup is
// collected by comparing directions from the centre, projected onto it.
inline constexpr float shellRadius = 15.0f;
