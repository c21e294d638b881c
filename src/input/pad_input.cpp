#include "input/pad_input.h"

#include <cstdlib>
#include <initializer_list>

enum Action { ACT_UP, ACT_DOWN, ACT_LEFT, ACT_RIGHT, ACT_CHOOSE, ACT_BACK, ACT_START, ACT_FRAME_RATE, ACT_GO_ON };

enum ControlKind { PAD_BUTTON, PAD_HAT, PAD_STICK, TOUCH };

// The left stick past its dead zone, one way or the other.
enum StickWay { STICK_UP, STICK_DOWN, STICK_LEFT, STICK_RIGHT };

struct InputRow {
    ControlKind kind;
    int raw;       // the control's number on Linux and Windows; -1: not there
    int standard;  // its number in the browser; -1: not there
    Action action;
};

// Every control, one line each. Buttons follow the common XInput layout: SDL 1.2 sees such a
// pad's D-pad as a hat, the browser as four buttons.
static const InputRow INPUT_TABLE[] = {
    {PAD_BUTTON, 0, 0, ACT_CHOOSE},                      // south (A)
    {PAD_BUTTON, 1, 1, ACT_BACK},                        // east (B)
    {PAD_BUTTON, 6, 8, ACT_BACK},                        // Back / Select
    {PAD_BUTTON, 7, 9, ACT_START},                       // Start
    {PAD_BUTTON, 3, 3, ACT_FRAME_RATE},                  // north (Y)
    {PAD_BUTTON, -1, 12, ACT_UP},                        // D-pad up
    {PAD_BUTTON, -1, 13, ACT_DOWN},                      // D-pad down
    {PAD_BUTTON, -1, 14, ACT_LEFT},                      // D-pad left
    {PAD_BUTTON, -1, 15, ACT_RIGHT},                     // D-pad right
    {PAD_HAT, SDL_HAT_UP, SDL_HAT_UP, ACT_UP},           // D-pad (hat) up
    {PAD_HAT, SDL_HAT_DOWN, SDL_HAT_DOWN, ACT_DOWN},     // D-pad (hat) down
    {PAD_HAT, SDL_HAT_LEFT, SDL_HAT_LEFT, ACT_LEFT},     // D-pad (hat) left
    {PAD_HAT, SDL_HAT_RIGHT, SDL_HAT_RIGHT, ACT_RIGHT},  // D-pad (hat) right
    {PAD_STICK, STICK_UP, STICK_UP, ACT_UP},             // left stick up
    {PAD_STICK, STICK_DOWN, STICK_DOWN, ACT_DOWN},       // left stick down
    {PAD_STICK, STICK_LEFT, STICK_LEFT, ACT_LEFT},       // left stick left
    {PAD_STICK, STICK_RIGHT, STICK_RIGHT, ACT_RIGHT},    // left stick right
    {TOUCH, TOUCH_UP, TOUCH_UP, ACT_UP},                 // touch Up
    {TOUCH, TOUCH_DOWN, TOUCH_DOWN, ACT_DOWN},           // touch Down
    {TOUCH, TOUCH_LEFT, TOUCH_LEFT, ACT_LEFT},           // touch Left
    {TOUCH, TOUCH_RIGHT, TOUCH_RIGHT, ACT_RIGHT},        // touch Right
    {TOUCH, TOUCH_OK, TOUCH_OK, ACT_CHOOSE},             // touch OK
    {TOUCH, TOUCH_MENU, TOUCH_MENU, ACT_BACK},           // touch Menu
    {TOUCH, TOUCH_GO_ON, TOUCH_GO_ON, ACT_GO_ON},        // touch Go on
};

// The key each action presses: one control, one key.
static const SDLKey ACTION_KEYS[] = {SDLK_UP,     SDLK_DOWN, SDLK_LEFT, SDLK_RIGHT, SDLK_RETURN,
                                     SDLK_ESCAPE, START_KEY, SDLK_f,    SDLK_SPACE};

// A third of the stick's travel is play.
static const int DEAD_ZONE = 32767 / 3;

// Where a direction can be held from; the latest one pressed repeats.
enum Source { FROM_NONE, FROM_BUTTONS, FROM_HAT, FROM_STICK, FROM_TOUCH };

static const int QUEUE_SIZE = 16;
static struct {
    PadLayout layout;
    SDL_Event queue[QUEUE_SIZE];
    int first, count;
    Source heldFrom;
    Action held;
    uint32_t nextRepeat;
    int stickX, stickY;
    bool pausedByLoss;
} pad;

void padReset(PadLayout layout) {
    pad = {};
    pad.layout = layout;
}

static void queueEvent(const SDL_Event& event) {
    if (pad.count == QUEUE_SIZE) return;  // a flood of presses: the rest is lost, as keys would be
    pad.queue[(pad.first + pad.count++) % QUEUE_SIZE] = event;
}

static void queueKey(SDLKey key) {
    SDL_Event event = {};
    event.type = SDL_KEYDOWN;
    event.key.state = SDL_PRESSED;
    event.key.keysym.sym = key;
    queueEvent(event);
}

static void queueFocus(int gain) {
    SDL_Event event = {};
    event.type = SDL_ACTIVEEVENT;
    event.active.gain = static_cast<Uint8>(gain);
    event.active.state = SDL_APPINPUTFOCUS;
    queueEvent(event);
}

static void act(Action action) { queueKey(ACTION_KEYS[action]); }

static bool isDirection(Action action) { return action <= ACT_RIGHT; }

// The row for control `number` of `kind` in the layout in use; null when none.
static const InputRow* findRow(ControlKind kind, int number) {
    for (const InputRow& row : INPUT_TABLE) {
        const int own = kind == TOUCH || pad.layout == PAD_LAYOUT_RAW ? row.raw : row.standard;
        if (row.kind == kind && own == number && number >= 0) return &row;
    }
    return nullptr;
}

static void holdDirection(Source from, Action action, uint32_t now) {
    pad.heldFrom = from;
    pad.held = action;
    pad.nextRepeat = now + HELD_REPEAT_DELAY_MS;
    act(action);
}

// A let-go at `at` still owes the repeat that fell due before it and was not handed out yet.
// Kept: another source still held is not taken up again; it repeats once pressed anew.
static void letGo(Source from, uint32_t at) {
    if (pad.heldFrom != from) return;
    pad.heldFrom = FROM_NONE;
    if (static_cast<int32_t>(at - pad.nextRepeat) >= 0) act(pad.held);
}

// A control pressed or let go: directions are held and repeat, the rest acts once per press.
static void press(Source from, const InputRow* row, bool down, uint32_t now) {
    if (row == nullptr) return;
    if (!isDirection(row->action)) {
        if (down) act(row->action);
        return;
    }
    if (down)
        holdDirection(from, row->action, now);
    else if (pad.held == row->action)
        letGo(from, now);
}

// A direction source moved to `action` (or to none, -1): a new direction is a new press.
static void moveTo(Source from, int action, uint32_t now) {
    const bool holding = pad.heldFrom == from;
    if (action < 0) {
        letGo(from, now);
        return;
    }
    if (!holding || pad.held != action) holdDirection(from, static_cast<Action>(action), now);
}

static int hatDirection(int value) {
    const InputRow* row = findRow(PAD_HAT, value);
    if (row != nullptr) return row->action;
    if (value == SDL_HAT_CENTERED) return -1;
    // A diagonal keeps the direction already held from the hat, else takes its vertical part.
    const int vertical = value & (SDL_HAT_UP | SDL_HAT_DOWN);
    const int held = pad.heldFrom == FROM_HAT ? pad.held : -1;
    for (int part : {value & (SDL_HAT_LEFT | SDL_HAT_RIGHT), vertical}) {
        const InputRow* partRow = findRow(PAD_HAT, part);
        if (partRow != nullptr && partRow->action == held) return held;
    }
    row = findRow(PAD_HAT, vertical);
    return row != nullptr ? row->action : -1;
}

// The way the stick points, the axis further from the middle winning; -1 inside the dead zone.
static int stickDirection() {
    const int x = pad.stickX, y = pad.stickY;
    if (abs(x) <= DEAD_ZONE && abs(y) <= DEAD_ZONE) return -1;
    // Kept: an exact diagonal goes up or down.
    const int way = abs(x) > abs(y) ? (x < 0 ? STICK_LEFT : STICK_RIGHT) : (y < 0 ? STICK_UP : STICK_DOWN);
    return findRow(PAD_STICK, way)->action;
}

bool padFilter(const SDL_Event& event, uint32_t now) {
    switch (event.type) {
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP:
            if (event.jbutton.which == 0)
                press(FROM_BUTTONS, findRow(PAD_BUTTON, event.jbutton.button), event.type == SDL_JOYBUTTONDOWN, now);
            return false;
        case SDL_JOYHATMOTION:
            if (event.jhat.which == 0 && event.jhat.hat == 0) moveTo(FROM_HAT, hatDirection(event.jhat.value), now);
            return false;
        case SDL_JOYAXISMOTION:
            if (event.jaxis.which != 0 || event.jaxis.axis > 1) return false;
            (event.jaxis.axis == 0 ? pad.stickX : pad.stickY) = event.jaxis.value;
            moveTo(FROM_STICK, stickDirection(), now);
            return false;
        case SDL_JOYBALLMOTION: return false;
        case SDL_ACTIVEEVENT:
            // A pad's release is not told to a window without focus: nothing stays held.
            if (event.active.gain == 0) pad.heldFrom = FROM_NONE, pad.stickX = pad.stickY = 0;
            return true;
        case SDL_KEYDOWN:
            if (!pad.pausedByLoss) return true;
            padPluggedIn();
            return false;
        default: return true;
    }
}

void touchControl(int control, bool down, uint32_t at) { press(FROM_TOUCH, findRow(TOUCH, control), down, at); }

void padUnplugged() {
    if (pad.pausedByLoss) return;
    pad.heldFrom = FROM_NONE;
    pad.stickX = pad.stickY = 0;
    pad.pausedByLoss = true;
    queueFocus(0);
}

void padPluggedIn() {
    if (!pad.pausedByLoss) return;
    pad.pausedByLoss = false;
    queueFocus(1);
}

int padTake(SDL_Event* out) {
    if (pad.count == 0) return 0;
    *out = pad.queue[pad.first];
    pad.first = (pad.first + 1) % QUEUE_SIZE;
    --pad.count;
    return 1;
}

// Repeats keep the press's own beat: a late look gives the one repeat due, and the next stays
// on time; a look later than a whole interval starts the beat anew instead of a burst.
// A page tells a touch when it gets round to it: a repeat of a touch waits a little past its
// time, so a release made before that time and told late still stops it.
static const uint32_t TOUCH_TOLD_LATE_MS = 50;

static uint32_t repeatShownAt() { return pad.nextRepeat + (pad.heldFrom == FROM_TOUCH ? TOUCH_TOLD_LATE_MS : 0); }

int padRepeat(uint32_t now, SDL_Event* out) {
    if (pad.count != 0 || pad.heldFrom == FROM_NONE || static_cast<int32_t>(now - repeatShownAt()) < 0) return 0;
    pad.nextRepeat += HELD_REPEAT_INTERVAL_MS;
    if (static_cast<int32_t>(now - pad.nextRepeat) >= 0) pad.nextRepeat = now + HELD_REPEAT_INTERVAL_MS;
    act(pad.held);
    return padTake(out);
}

uint32_t padWakeBy(uint32_t now, uint32_t deadline) {
    if (pad.count > 0) return now;
    if (pad.heldFrom != FROM_NONE && static_cast<int32_t>(deadline - repeatShownAt()) > 0) return repeatShownAt();
    return deadline;
}
