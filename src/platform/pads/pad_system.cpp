#include "platform/pads/pad_system.h"

#include <SDL.h>

#include <algorithm>
#include <iostream>
#include <vector>

namespace vx::pads {

struct PadSystem::Impl {
    struct OpenPad {
        SDL_JoystickID instance;
        SDL_GameController* controller;
        uint32_t id;
    };
    std::vector<OpenPad> pads;
    uint32_t nextId = 1;
    bool started = false;

    void CloseUnplugged() {
        std::erase_if(pads, [](const OpenPad& p) {
            if (SDL_GameControllerGetAttached(p.controller)) return false;
            SDL_GameControllerClose(p.controller);
            return true;
        });
    }

    void OpenPluggedIn() {
        const int count = SDL_NumJoysticks();
        for (int i = 0; i < count; ++i) {
            if (!SDL_IsGameController(i)) continue;
            const SDL_JoystickID instance = SDL_JoystickGetDeviceInstanceID(i);
            if (std::any_of(pads.begin(), pads.end(),
                            [&](const OpenPad& p) { return p.instance == instance; }))
                continue;
            if (SDL_GameController* c = SDL_GameControllerOpen(i)) pads.push_back({instance, c, nextId++});
        }
    }

    static PadButtons Read(SDL_GameController* c) {
        auto held = [c](SDL_GameControllerButton b) { return SDL_GameControllerGetButton(c, b) != 0; };
        const int stickY = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY);
        const int stickX = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX);
        PadButtons b;
        b.up = held(SDL_CONTROLLER_BUTTON_DPAD_UP) || stickY < -kStickDeadZone;
        b.down = held(SDL_CONTROLLER_BUTTON_DPAD_DOWN) || stickY > kStickDeadZone;
        b.left = held(SDL_CONTROLLER_BUTTON_DPAD_LEFT) || stickX < -kStickDeadZone;
        b.right = held(SDL_CONTROLLER_BUTTON_DPAD_RIGHT) || stickX > kStickDeadZone;
        b.a = held(SDL_CONTROLLER_BUTTON_A);
        b.b = held(SDL_CONTROLLER_BUTTON_B);
        b.start = held(SDL_CONTROLLER_BUTTON_START);
        b.back = held(SDL_CONTROLLER_BUTTON_BACK);
        return b;
    }
};

PadSystem::PadSystem() : impl_(std::make_unique<Impl>()) {
    // Ctrl+C and SIGTERM keep ending the program; SDL would otherwise turn them into an
    // event nobody reads.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        std::cerr << "voltrax: no gamepads: " << SDL_GetError() << "\n";
        return;
    }
    impl_->started = true;
    // The state is read by polling; queued pad events would only pile up.
    SDL_JoystickEventState(SDL_IGNORE);
    SDL_GameControllerEventState(SDL_IGNORE);
}

PadSystem::~PadSystem() {
    if (!impl_->started) return;
    for (const auto& p : impl_->pads) SDL_GameControllerClose(p.controller);
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

bool PadSystem::Started() const {
    return impl_->started;
}

PadReadings PadSystem::Poll() {
    PadReadings readings;
    if (!impl_->started) return readings;
    SDL_GameControllerUpdate();
    impl_->CloseUnplugged();
    impl_->OpenPluggedIn();
    readings.reserve(impl_->pads.size());
    for (const auto& p : impl_->pads) readings.push_back({p.id, Impl::Read(p.controller)});
    return readings;
}

}  // namespace vx::pads
