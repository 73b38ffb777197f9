// The pictures the screens load from the program folder: the run-time backgrounds of
// the dat folder ("\dat\OP", "\dat\stagec", "\dat\bwait", "\dat\battle") and, once at
// start-up, the fixed pictures in design/ (sprite sheet, line drawings, wipe pattern).
// A picture that cannot be read stops the program with a message naming the file,
// rather than going on with a half-drawn screen.
#pragma once

#include <string>

namespace vx {

struct Game;
class Surface;

// Loads the picture into the top-left of dest; rows of dest below a shorter picture
// keep what they had. A "\dat\battle" too short to reach row 411 also gets the empty
// item gauge copied from its place on the table to (0, 411) of BufPict, where the
// gauge drawing restores it from. False (and the program ending) when the picture
// cannot be read.
bool LoadScreenPicture(Game& g, const char* gamePath, Surface& dest);

// The pictures of the "design" folder beside the program: Pict, LinePict,
// St3 and Mas. False with the reason in g.FatalMessage when one is missing.
bool LoadDesignPictures(Game& g);
// The same in two halves: the sprite sheet Pict, all the title needs, and the stage
// line drawings and wipe pattern (LinePict, St3, Mas), which start-up loads once the
// title is on screen.
bool LoadTitleDesignPictures(Game& g);
bool LoadStageDesignPictures(Game& g);

// Stops the music, records why and ends the program.
void StopForMissingPicture(Game& g, const std::string& message);

}  // namespace vx
