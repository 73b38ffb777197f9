#include "match/match_state.h"

#include "core/game.h"

namespace vx {

namespace {

// Previous bounds are left out: they say where the drawing last put a sprite, and a
// match stepped without drawing must hash like the same match shown in the window.
class Fnv {
  public:
    template <typename T>
    void Add(T value) {
        auto v = static_cast<uint64_t>(static_cast<int64_t>(value));
        for (size_t i = 0; i < sizeof(T); ++i, v >>= 8) {
            hash_ ^= v & 0xFF;
            hash_ *= 0x100000001B3ULL;
        }
    }
    void Add(const Rect& r) { Add(r.left), Add(r.top), Add(r.right), Add(r.bottom); }
    void Add(const Point& p) { Add(p.x), Add(p.y); }
    void Add(const SpriteSource& s) { Add(s.x), Add(s.y), Add(s.w), Add(s.h); }
    void Add(const Puck& p) {
        Add(p.x), Add(p.y), Add(p.bounds), Add(p.vx), Add(p.vy);
        Add(p.state), Add(p.radius), Add(p.bounceCounter);
    }
    void Add(const Paddle& p) {
        Add(p.y), Add(p.x), Add(p.halfLength), Add(p.kind), Add(p.bounds);
        Add(p.directionSign);
    }
    void Add(const Wall& w) { Add(w.bounds), Add(w.facing), Add(w.kind), Add(w.slope), Add(w.intercept); }
    void Add(const Bumper& b) { Add(b.cx), Add(b.cy), Add(b.verticalSign), Add(b.radius); }
    void Add(const ItemRecord& it) {
        Add(it.allowedCount);
        for (uint8_t k : it.allowed) Add(k);
        Add(it.kind), Add(it.timer), Add(it.phase), Add(it.x), Add(it.y), Add(it.bounds);
        Add(it.icon), Add(it.vx), Add(it.vy), Add(it.owner);
    }
    void Add(const MatchRecords& r) {
        Add(r.pucks.count);
        for (const Puck& p : r.pucks.pucks) Add(p);
        Add(r.pucks.serveA), Add(r.pucks.serveB);
        for (const Paddle& p : r.paddles) Add(p);
        Add(r.obstacles.wallCount);
        for (const Wall& w : r.obstacles.walls) Add(w);
        Add(r.obstacles.bumperCount);
        for (const Bumper& b : r.obstacles.bumpers) Add(b);
        Add(r.item);
        for (const SpriteSource& s : r.sprites.entries) Add(s);
    }
    uint64_t Value() const { return hash_; }

  private:
    uint64_t hash_ = 0xCBF29CE484222325ULL;
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
    g.KeyFlags = s.KeyFlags;
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
    h.Add(s.records);
    h.Add(s.Scores[0]), h.Add(s.Scores[1]);
    for (Bool16 k : s.KeyFlags) h.Add(k);
    h.Add(s.TimeLeft), h.Add(s.ClockTick), h.Add(s.FrameCount);
    for (const Rect& b : s.BlindAreas) h.Add(b);
    h.Add(s.CornerPosts.count);
    for (const Rect& p : s.CornerPosts.posts) h.Add(p);
    h.Add(s.SimulationFlag);
    for (uint64_t b : s.random.bits) h.Add(b);
    h.Add(s.random.draws);
    h.Add(s.MatchSeed), h.Add(s.MatchSeeded);
    h.Add(s.GameMode), h.Add(s.StageNo), h.Add(s.RuleKind), h.Add(s.ScoreLimit), h.Add(s.Difficulty);
    return h.Value();
}

uint64_t MatchStateHash(const Game& g, const MatchRecords& r) {
    return MatchStateHash(CaptureMatchState(g, r));
}

}  // namespace vx
