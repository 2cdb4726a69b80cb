#pragma once
// The air-hockey game's rules without any drawing: the rink's friction map, the paddle table
// that paddles write and pucks read, and one puck's bounces off paddles and the screen edges.
// HockeySurfaceCompositeGL, HockeyPaddleLeafGL and HockeyPuckLeafGL apply them each frame.
//
// Coordinates: table pixels (origin bottom left, y up) for positions and velocities; velocities
// are pixels per frame. Buffer cells for the friction map and the paddle table.
//
// Paddle table (float, one channel): cell (0, 0) counts the registered paddles; row i >= 1 holds
// paddle i in columns 0 … 5: radius, radius², x, y, dx, dy (dx, dy: its movement since the
// previous frame). A table narrower than six columns holds no paddle; rows past its height are
// never registered.

template <class T> class BufferTemplate;

namespace hockey {

// The slower middle strip of the friction map: columns [x0, x1), rows [y0, y1).
struct Strip {
    unsigned int x0, x1, y0, y1;
};
// Friction inside the strip.
constexpr float kStripFriction = 0.8f;
// 10 % of the width, 40 % of the height, centred; every bound truncated.
Strip frictionStrip(unsigned int width, unsigned int height);
// Every cell `friction`, the strip 0.8 (nothing when its column range is empty).
void fillFrictionMap(BufferTemplate<float>& map, double friction);

struct PaddleRow {
    double radius, radiusSquared, x, y, dx, dy;
};
constexpr unsigned int kPaddleColumns = 6;
// Registered paddles in the table, limited to the rows it has (0 when it cannot hold one).
unsigned int paddleCount(const BufferTemplate<float>& table);
// Registers a paddle whose row is not below the count: returns the row it now owns, or its old
// row when it was registered already; 0 when the table has no room left.
unsigned int registerPaddle(BufferTemplate<float>& table, unsigned int row);
void writePaddleRow(BufferTemplate<float>& table, unsigned int row, const PaddleRow& p);
PaddleRow readPaddleRow(const BufferTemplate<float>& table, unsigned int row);

struct Puck {
    double x, y, vx, vy, radius;
};

// One paddle against the puck. Overlapping already: the paddle's movement pushes (0.4 of it is
// added to the velocity). Otherwise, when the straight path of this frame touches the paddle, the
// puck moves to the contact, reflects about the contact normal, takes on the paddle's movement
// and travels the rest of the frame. Returns true when the puck was moved.
bool collideWithPaddle(Puck& puck, const PaddleRow& paddle);

// Scales the velocity down to maxSpeed when its square exceeds maxSpeedSquared.
void limitSpeed(Puck& puck, double maxSpeed, double maxSpeedSquared);

// Whether the puck, now at (x, y) after moving by (vx, vy), crossed the left or right edge of a
// width-wide screen strictly between the goal heights.
bool crossesGoal(const Puck& puck, double width, double lowerGoal, double upperGoal);

// Mirrors the puck back inside [r, width − r] × [r, height − r]: left, bottom, right, top.
void bounceOffWalls(Puck& puck, double width, double height);

} // namespace hockey
