#include "match/match_state.h"

#include <map>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "core/game.h"

namespace vx {

namespace {

// Every field the hash covers, in its fixed order and with its name, for a visitor with
// Field(name, value), Enter(name) and Leave(): the hash takes the values, the dump the
// names too. Previous bounds are left out: they say where the drawing last put a
// sprite, and a match stepped without drawing must hash like the same match shown in
// the window.
template <typename V>
class StateWalk {
  public:
    explicit StateWalk(V& v) : v_(v) {}

    template <typename T>
    void F(const char* name, T value) {
        v_.Field(name, value);
    }
    void F(const char* name, const Rect& r) {
        v_.Enter(name);
        F("left", r.left), F("top", r.top), F("right", r.right), F("bottom", r.bottom);
        v_.Leave();
    }
    void F(const char* name, const Point& p) {
        v_.Enter(name);
        F("x", p.x), F("y", p.y);
        v_.Leave();
    }
    void F(const char* name, const SpriteSource& s) {
        v_.Enter(name);
        F("x", s.x), F("y", s.y), F("w", s.w), F("h", s.h);
        v_.Leave();
    }
    void F(const char* name, const Puck& p) {
        v_.Enter(name);
        F("x", p.x), F("y", p.y), F("bounds", p.bounds), F("vx", p.vx), F("vy", p.vy);
        F("state", p.state), F("radius", p.radius), F("bounceCounter", p.bounceCounter);
        v_.Leave();
    }
    void F(const char* name, const Paddle& p) {
        v_.Enter(name);
        F("y", p.y), F("x", p.x), F("halfLength", p.halfLength), F("kind", p.kind), F("bounds", p.bounds);
        F("directionSign", p.directionSign);
        v_.Leave();
    }
    void F(const char* name, const Wall& w) {
        v_.Enter(name);
        F("bounds", w.bounds), F("facing", w.facing), F("kind", w.kind), F("slope", w.slope);
        F("intercept", w.intercept);
        v_.Leave();
    }
    void F(const char* name, const Bumper& b) {
        v_.Enter(name);
        F("cx", b.cx), F("cy", b.cy), F("verticalSign", b.verticalSign), F("radius", b.radius);
        v_.Leave();
    }
    void F(const char* name, const ItemRecord& it) {
        v_.Enter(name);
        F("allowedCount", it.allowedCount);
        for (uint8_t k : it.allowed) F("allowed", k);
        F("kind", it.kind), F("timer", it.timer), F("phase", it.phase), F("x", it.x), F("y", it.y);
        F("bounds", it.bounds), F("icon", it.icon), F("vx", it.vx), F("vy", it.vy), F("owner", it.owner);
        v_.Leave();
    }
    void F(const char* name, const MatchRecords& r) {
        v_.Enter(name);
        F("puckCount", r.pucks.count);
        for (const Puck& p : r.pucks.pucks) F("puck", p);
        F("serveA", r.pucks.serveA), F("serveB", r.pucks.serveB);
        for (const Paddle& p : r.paddles) F("paddle", p);
        F("wallCount", r.obstacles.wallCount);
        for (const Wall& w : r.obstacles.walls) F("wall", w);
        F("bumperCount", r.obstacles.bumperCount);
        for (const Bumper& b : r.obstacles.bumpers) F("bumper", b);
        F("item", r.item);
        for (const SpriteSource& e : r.sprites.entries) F("sprite", e);
        v_.Leave();
    }
    void All(const MatchState& s) {
        F("records", s.records);
        F("Scores", s.Scores[0]), F("Scores", s.Scores[1]);
        // The hash keeps the 16-bit -1/0 of the first replays, so stored hashes still agree.
        for (bool k : s.KeyFlags) F("KeyFlags", static_cast<int16_t>(k ? -1 : 0));
        F("TimeLeft", s.TimeLeft), F("ClockTick", s.ClockTick), F("FrameCount", s.FrameCount);
        for (const Rect& b : s.BlindAreas) F("BlindArea", b);
        F("CornerPostCount", s.CornerPosts.count);
        for (const Rect& p : s.CornerPosts.posts) F("CornerPost", p);
        F("SimulationFlag", static_cast<int16_t>(s.SimulationFlag ? -1 : 0));
        for (uint64_t b : s.random.bits) F("randomBits", b);
        F("randomDraws", s.random.draws);
        F("MatchSeed", s.MatchSeed), F("MatchSeeded", s.MatchSeeded);
        F("GameMode", s.GameMode), F("StageNo", s.StageNo), F("RuleKind", s.RuleKind);
        F("ScoreLimit", s.ScoreLimit), F("Difficulty", s.Difficulty);
    }

  private:
    V& v_;
};

class Fnv {
  public:
    template <typename T>
    void Field(const char*, T value) {
        auto v = static_cast<uint64_t>(static_cast<int64_t>(value));
        for (size_t i = 0; i < sizeof(T); ++i, v >>= 8) {
            hash_ ^= v & 0xFF;
            hash_ *= 0x100000001B3ULL;
        }
    }
    void Enter(const char*) {}
    void Leave() {}
    uint64_t Value() const { return hash_; }

  private:
    uint64_t hash_ = 0xCBF29CE484222325ULL;
};

// One line a field, "records.puck.x 1234", repeated names numbered in their order
// ("records.puck[1].x").
class TextDump {
  public:
    template <typename T>
    void Field(const char* name, T value) {
        std::string number;
        if constexpr (std::is_unsigned_v<T>)
            number = std::to_string(static_cast<uint64_t>(value));
        else
            number = std::to_string(static_cast<int64_t>(value));
        out_ += Path() + Numbered(name) + " " + number + "\n";
    }
    void Enter(const char* name) {
        path_.push_back(Numbered(name));
        seen_.emplace_back();
    }
    void Leave() {
        path_.pop_back();
        seen_.pop_back();
    }
    std::string Text() && { return std::move(out_); }

  private:
    std::string Path() const {
        std::string p;
        for (const auto& part : path_) p += part + ".";
        return p;
    }
    // The name, with its index among the fields of that name at this level when it repeats.
    std::string Numbered(const char* name) {
        auto& counts = seen_.back();
        const int n = counts[name]++;
        return repeated_.contains(name) ? std::string(name) + "[" + std::to_string(n) + "]" : name;
    }

    std::string out_;
    std::vector<std::string> path_;
    std::vector<std::map<std::string, int>> seen_ = {{}};
    const std::set<std::string> repeated_ = {"puck",      "paddle",     "wall",      "bumper",
                                             "sprite",    "allowed",    "Scores",    "KeyFlags",
                                             "BlindArea", "CornerPost", "randomBits"};
};

}  // namespace

MatchState CaptureMatchState(const Game& g, const MatchRecords& r) {
    MatchState s;
    s.records = r;
    s.Scores = g.Scores;
    s.KeyFlags = g.KeyFlags;
    s.TimeLeft = g.TimeLeft;
    s.ClockTick = g.ClockTick;
    s.ClockChanged = g.ClockChanged;
    s.FrameCount = g.FrameCount;
    s.BlindAreas = g.BlindAreas;
    s.CornerPosts = g.CornerPosts;
    s.SimulationFlag = g.SimulationFlag;
    s.random = g.random.State();
    s.MatchSeed = g.MatchSeed;
    s.MatchSeeded = g.MatchSeeded;
    s.GameMode = g.GameMode;
    s.StageNo = g.StageNo;
    s.RuleKind = g.RuleKind;
    s.ScoreLimit = g.ScoreLimit;
    s.Difficulty = g.Difficulty;
    return s;
}

void RestoreMatchState(Game& g, MatchRecords& r, const MatchState& s) {
    r = s.records;
    g.Scores = s.Scores;
    g.TimeLeft = s.TimeLeft;
    g.ClockTick = s.ClockTick;
    g.ClockChanged = s.ClockChanged;
    g.FrameCount = s.FrameCount;
    g.BlindAreas = s.BlindAreas;
    g.CornerPosts = s.CornerPosts;
    g.SimulationFlag = s.SimulationFlag;
    g.random.SetState(s.random);
    g.MatchSeed = s.MatchSeed;
    g.MatchSeeded = s.MatchSeeded;
    g.GameMode = s.GameMode;
    g.StageNo = s.StageNo;
    g.RuleKind = s.RuleKind;
    g.ScoreLimit = s.ScoreLimit;
    g.Difficulty = s.Difficulty;
}

uint64_t MatchStateHash(const MatchState& s) {
    Fnv h;
    StateWalk(h).All(s);
    return h.Value();
}

std::string DescribeMatchState(const MatchState& s) {
    TextDump dump;
    StateWalk(dump).All(s);
    return std::move(dump).Text();
}

uint64_t MatchStateHash(const Game& g, const MatchRecords& r) {
    return MatchStateHash(CaptureMatchState(g, r));
}

}  // namespace vx
