#include "net/net_sim.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace vx::net {

std::optional<NetSimSettings> ParseNetSim(const std::string& text, std::string* error) {
    NetSimSettings s;
    std::stringstream items(text);
    std::string item;
    auto fail = [&](const std::string& why) -> std::optional<NetSimSettings> {
        if (error != nullptr) *error = "VOLTRAX_NETSIM: " + why;
        return std::nullopt;
    };
    while (std::getline(items, item, ',')) {
        if (item.empty()) continue;
        const auto eq = item.find('=');
        if (eq == std::string::npos) return fail("\"" + item + "\" is not key=value");
        const std::string key = item.substr(0, eq);
        const std::string value = item.substr(eq + 1);
        int32_t n = 0;
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
        if (ec != std::errc() || end != value.data() + value.size() || n < 0)
            return fail("\"" + value + "\" is not a number for " + key);
        const bool percent = key == "loss" || key == "dup";
        if (n > (percent ? 100 : 5000)) return fail(key + "=" + value + " is out of range");
        if (key == "delay")
            s.delayMs = n;
        else if (key == "jitter")
            s.jitterMs = n;
        else if (key == "loss")
            s.lossPercent = n;
        else if (key == "dup")
            s.dupPercent = n;
        else
            return fail("unknown key \"" + key + "\" (delay, jitter, loss, dup)");
    }
    return s;
}

void NetSim::Submit(PacketBytes bytes, bool reliable, int64_t nowMs) {
    if (!reliable && Percent() < settings_.lossPercent) {
        ++lost_;
        return;
    }
    const int copies = Percent() < settings_.dupPercent ? 2 : 1;
    for (int i = 0; i < copies; ++i) {
        int64_t due = nowMs + settings_.delayMs;
        if (settings_.jitterMs > 0)
            due += static_cast<int64_t>(random_() % (2 * settings_.jitterMs + 1)) - settings_.jitterMs;
        due = std::max(due, nowMs);
        // Reliable packets keep their order, as the transport keeps it.
        if (reliable) due = lastReliableDueMs_ = std::max(due, lastReliableDueMs_);
        queue_.push_back({due, nextOrder_++, Due{bytes, reliable}});
    }
}

std::vector<NetSim::Due> NetSim::TakeDue(int64_t nowMs) {
    std::vector<Held> ready;
    auto split =
        std::stable_partition(queue_.begin(), queue_.end(), [&](const Held& h) { return h.dueMs > nowMs; });
    ready.assign(std::make_move_iterator(split), std::make_move_iterator(queue_.end()));
    queue_.erase(split, queue_.end());
    std::sort(ready.begin(), ready.end(), [](const Held& a, const Held& b) {
        return a.dueMs != b.dueMs ? a.dueMs < b.dueMs : a.order < b.order;
    });
    std::vector<Due> out;
    out.reserve(ready.size());
    for (auto& h : ready) out.push_back(std::move(h.due));
    return out;
}

}  // namespace vx::net
