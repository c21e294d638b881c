// Drawing calls recorded instead of drawn.
#include "fakes.h"
#include "game/engine.h"
#include "game/state.h"
#include "render/lists.h"
#include "render/scene.h"

void callList(int list) { fake.lists.push_back(list); }
void resetView() {}
void setUpGraphics() { ++fake.graphicsSetUps; }
void drawScene() { ++fake.scenesDrawn; }
void drawSlideFrame(int, int, float progress) {
    ++fake.slideFrames;
    fake.lastSlideProgress = progress;
}
void drawPlayer() { ++fake.playerDrawn; }
void drawDyingPlayer() { ++fake.dyingPlayerDrawn; }
void drawCompletionPicture() { ++fake.completionPictures; }
