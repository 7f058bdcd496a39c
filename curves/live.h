// Live curves: how the plot shows a measurement while its worker fills the
// family. The worker publishes, per curve, the count of points it has
// finished (an atomic store with release order) into storage it sized before
// its loop; the painter copies the points below the count it loaded with
// acquire order into a snapshot family of its own and draws that. The worker
// therefore never waits for the painter while it measures, and the painter
// never reads a point that is being written or a block that moves.
//
// The rule for the worker (every measurement routine, through LivePublisher):
//   1. size and name the curves, then construct the publisher;
//   2. write point i of curve k, then Publish(k, i + 1) (or PublishAll);
//   3. a name or parameter known only during the run is set with
//      SetCurveInfo, under the publisher's lock;
//   4. End() (or the destructor) before any truncation, renaming or resize:
//      End waits for a snapshot copy in progress, and from then on the
//      painter no longer reads the family.
// The snapshot belongs to one painting thread (the UI thread in the
// program); FamilyForPlot() returns it while a measurement runs.
#pragma once

#include <cstdint>

#include "curves/curvefam.h"

namespace tsm::curves {

class LivePublisher {
 public:
  // Begins publishing `family` (normally CurrentFamily()): its curve count
  // and every curve's storage must stay as they are until End. Every
  // published count starts at 0.
  explicit LivePublisher(CurveFamily& family);
  ~LivePublisher();
  LivePublisher(const LivePublisher&) = delete;
  LivePublisher& operator=(const LivePublisher&) = delete;

  // Points 0 .. points-1 of `curve` are finished. Counts only grow: a
  // smaller count than one published before is ignored, and a count is cut
  // to the curve's size.
  void Publish(std::uint32_t curve, std::uint32_t points);
  // The same count for every curve.
  void PublishAll(std::uint32_t points);
  // Sets a curve's name and parameter while publishing (the painter copies
  // them with its next snapshot).
  void SetCurveInfo(std::uint32_t curve, const char* name, float parameter);
  // The axis units the live picture shows (the family's are set when the
  // routine finishes).
  void SetUnits(const char* unitX, const char* unitY);
  // Stops publishing; idempotent. The painter keeps the last snapshot until
  // the measurement ends, so the picture does not jump back.
  void End();

 private:
  bool active_ = false;
};

// --- the painter's side ----------------------------------------------------
// Copies what was published since the last call into the snapshot. True
// when the snapshot changed (the caller repaints). Cheap when nothing moved:
// only new points are copied.
bool UpdateLiveSnapshot();
// The snapshot of the present publisher's family once UpdateLiveSnapshot
// has copied it; null before (and after ReleaseLiveSnapshot).
CurveFamily* LiveSnapshot();
// Forgets the snapshot and frees its points (the measurement has ended;
// called on the painting thread).
void ReleaseLiveSnapshot();
// Copies x as y and y as x from the next snapshot on, units included: the
// live picture of a measurement whose axes are swapped when it ends looks
// as it will afterwards. Set by the painting thread before the measurement.
void SetLiveSnapshotSwapsXY(bool swap);
// Whether a publisher is active now.
bool LiveActive();
// No publisher, no snapshot (ResetCurvesState calls it for test fixtures).
void ResetLiveState();

}  // namespace tsm::curves
