// Remote control through the files of the remote folder: the status is published on every poll
// that finds it changed, and a command file is applied through the same operations as the menu
// and the state buttons.
#pragma once

namespace tarvok {

class TConfig;
class TModeControl;
class TStationQueue;
class TTransmitter;
struct TStationState;

class TRemoteControl {
 public:
  TRemoteControl(const TStationState& state, TConfig& config, const TTransmitter& transmitter,
                 TModeControl& modeControl, TStationQueue& queue);

  // Writes the status file when the status changed and queues the reading of a command file.
  void PollStatus();
  void ReadCommand();
  // "mode" 1 to 3 enters that mode, or in the mode in force selects the button that "state"
  // names; "mode" 4 switches the scheduler on. Nothing happens while either is 0.
  void ApplyCommand(int mode, int state);

 private:
  const TStationState& state_;
  TConfig& config_;
  const TTransmitter& transmitter_;
  TModeControl& modeControl_;
  TStationQueue& queue_;
};

}  // namespace tarvok
