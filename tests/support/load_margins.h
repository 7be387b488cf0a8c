// Margins that keep functional tests true on a loaded machine (sanitizers,
// tests run in parallel, other busy processes). Functional tests keep every
// ordering and content check exact; what load stretches is only "how long",
// and tight figures for that are the benchmarks' business (bench/).
#pragma once

namespace test_support {

// How long a test waits for something another process or thread is to do
// or write (a frame logged, a map written, a reply). Only a failing test
// waits this long: load delays the other side by a lot, never by this much.
constexpr int kWaitMs = 10000;

// Added to the upper bound of a "how long did it take" check that is only
// there to catch a wait that goes on and on (a hang, a wait for the wrong
// thing). Where an upper bound tells a right behaviour from a wrong one, it
// sits instead just below the least time the wrong one takes (a sleep never
// ends early), or the test makes the wrong one take longer.
constexpr int kLoadSlackMs = 2000;

}  // namespace test_support
