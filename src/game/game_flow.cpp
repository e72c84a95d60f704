#include "game/game_flow.h"

#include "game/controls.h"
#include "game/screens.h"
#include "world/level.h"

namespace {

// Only a fresh press leaves the level-complete and out-of-time screens: a
// button still held from play has to be released first. The button is
// remembered for the next frame's test.
void leaveOnFreshPress(Session& session, bool pressed, const Controller& controller)
{
    if (session.lastButton == 0 && pressed) {
        session.gameState = Playing;
    }
    session.lastButton = primaryButton(controller);
}

}  // namespace

Screen screenFor(const Session& session)
{
    if (session.gameState == Title) {
        return Screen::title;
    }
    if (session.levelNumber == gameCompleted) {
        return Screen::final;
    }
    if (session.gameState == LevelComplete) {
        return session.levelNumber != 1 ? Screen::nextLevel : Screen::none;
    }
    return session.gameState == OutOfTime ? Screen::outOfTime : Screen::none;
}

bool screenTakesPress(const Session& session)
{
    switch (screenFor(session)) {
        case Screen::title:
            return true;
        case Screen::nextLevel:
        case Screen::outOfTime:
            return session.lastButton == 0;
        case Screen::final:
        case Screen::none:
            return false;
    }
    return false;
}

bool runScreen(GameData& game, Controller& controller)
{
    Session& session = game.session;
    switch (screenFor(session)) {
        case Screen::title:
            session.score = 0;
            // The title reacts to a held button as well as to a fresh press.
            if (drawTitleScreen(game, controller)) {
                session.gameState = Playing;
            }
            return true;
        case Screen::final:
            noteGameScore(game.best, session.score);
            drawFinalScreen(game);  // ignores every input
            return true;
        case Screen::nextLevel:
            leaveOnFreshPress(session, drawNextLevelScreen(game, controller), controller);
            return true;
        case Screen::outOfTime:
            leaveOnFreshPress(session, drawOutOfTimeScreen(game, controller), controller);
            return true;
        case Screen::none:
            break;
    }
    if (session.gameState == LevelComplete) {
        // The first level starts at once; a button held from the title
        // counts as seen, so the next screen waits for a fresh press.
        session.lastButton = 1;
        session.gameState = Playing;
    }
    return false;
}

void completeLevelIfCleared(Session& session, World& world, BestScores& best)
{
    if (session.collectedCount < pickupCount) {
        return;
    }
    session.gameState = LevelComplete;
    if (session.levelNumber > 0) {
        const int before = session.score;
        const float total = static_cast<float>(levelTimeLimits[session.levelNumber]) - session.levelTime +
                            static_cast<float>(session.score);
        session.score = static_cast<int>(total);
        noteLevelBonus(best, session.levelNumber, session.score - before);
    }
    setupLevel(session.levelNumber, session, world);
}

void timeOutIfExpired(Session& session, World& world)
{
    if (static_cast<float>(levelTimeLimits[session.levelNumber]) < session.levelTime) {
        // setupLevel raises levelNumber back to where it was.
        session.levelNumber -= 1;
        setupLevel(session.levelNumber, session, world);
        session.gameState = OutOfTime;
        session.levelTime = 0.0f;
    }
}
