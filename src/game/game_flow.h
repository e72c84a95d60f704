#pragma once

#include "game/game_data.h"
#include "input/joystick.h"
#include "world/session.h"
#include "world/world.h"

// The game's flow between its screens and play. Every change of gameState
// is made here.

// The screens a frame can show instead of play.
enum class Screen { none, title, nextLevel, outOfTime, final };

// The screen the next frame shows for this session; none for a frame of
// play. The title comes first; once the last level is cleared the final
// screen shows whatever the state; the first level starts without a
// level-complete screen.
Screen screenFor(const Session& session);

// Whether the screen the next frame shows moves the game on when the primary
// button is pressed in it: the title always (a held button too), the
// level-complete and out-of-time screens only on a fresh press (they last
// saw no button held), the final screen never.
bool screenTakesPress(const Session& session);

// The screen part of a frame: draws the screen the session asks for (it pops
// the matrix the frame pushed) and moves the game on when its press comes;
// each title frame sets the score to 0. False when the frame is one of play;
// the first level's set-up turns into play here.
bool runScreen(GameData& game, Controller& controller);

// All pickups collected: the time left over, computed in float and truncated
// toward zero, is added to the score (not before the first level), noted
// against the level's best, and the next level is set up; the rest of the
// frame plays on it.
void completeLevelIfCleared(Session& session, World& world, BestScores& best);

// Past the level's limit (strictly): the same level is set up again behind
// the out-of-time screen, and the clock starts again; the score stays.
void timeOutIfExpired(Session& session, World& world);
