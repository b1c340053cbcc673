#pragma once
// The bytes on the line between the PC and the acquisition units, as pure
// functions: the commands the PC sends and the decoding of what the units send
// back. No port, no state; the link and the emulated units both build on this.
//
// Commands. Framed commands are 11 bytes: byte 0 is 0x80 plus a high part,
// byte 1 is 0x00 for broadcasts or the low seven bits of a channel address,
// byte 2 the command code, bytes 3 to 10 the parameters. Single-byte commands
// are the burst requests, the start byte 0xFE and the reset byte 0xFF. No
// command carries a checksum and none is acknowledged.
//
// Replies. The units answer a data request with one 896-byte block: 128 groups
// of 7 wire bytes, each group six data bytes with their bit 7 cleared and a
// seventh byte whose bits 0..5 give those six top bits. The data bytes, three
// at a time and most significant first, are 24-bit converter samples.
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace q24::frames {

using Command = std::array<uint8_t, 11>;

constexpr uint8_t kResetByte = 0xFF;
constexpr uint8_t kStartByte = 0xFE;
constexpr int kBlockBytes = 896;        // one data block on the wire
constexpr int kBlockSamples = 256;      // samples in one data block
constexpr int kBurstSamples = 128;      // samples the units put in one burst
constexpr int kTriggerReplyBytes = 4;
constexpr int kCodeReplyBytes = 2;

// Command codes of byte 2.
constexpr uint8_t kParameterCode = 0x1A;
constexpr uint8_t kSetCodeCode = 0x8B;
constexpr uint8_t kReadCodeCode = 0x8C;
constexpr uint8_t kTriggerTimeByte1 = 0x0B;

// Sampling frequency in Hz to the code of byte 3 (32000 -> 1 ... 125 -> 9);
// 0 for a frequency the units do not know.
uint8_t FrequencyCode(int32_t hz);
// And back: 0 for an unknown code.
int32_t FrequencyOfCode(uint8_t code);
// Samples per channel to the code of byte 5 (64 -> 1 ... 16384 -> 9); 9 for
// any other count.
uint8_t SampleCountCode(int32_t samples);
int32_t SampleCountOfCode(uint8_t code);
// Line speed to the speed command's code: 125000 -> 0x1D, 250000 -> 0x2D,
// 500000 -> 0x3D, 1000000 -> 0x4D, anything else 0x00.
uint8_t SpeedCode(int32_t baud);
int32_t SpeedOfCode(uint8_t code);  // 0 for an unknown code

// The parameter command 0x80 0x00 0x1A. trg_opening selects the edge only when
// trg_mode is 1 (2 = contact opening, 1 = contact closing, 0 = no trigger).
// Byte 8 is trigger_unit / 256 rounded halves-to-even (4 for 1000..1023),
// byte 9 the low byte. A negative trigger unit is sent as 0.
Command ParameterCommand(int trigger_unit, int32_t n_samples, int32_t sampling_freq, int trg_mode,
                         int trg_opening);
Command SpeedCommand(int32_t baud);
// The trigger-time command for time t (the trigger time plus the pre-trigger
// count): 0x80 + unit_code, 0x0B, six zeros, hi, lo, flags, where hi and lo
// carry seven bits each and flags their top bits. Nothing when t is not
// 0..32767 or unit_code not 0..127 (the caller shows "Trigger error").
std::optional<Command> TriggerTimeCommand(int32_t t, int unit_code);
// Set-code 0x80 0x00 0x8B 0x7B, code / 128, code % 128, five zeros. The code
// is taken as 0..1999.
Command SetCodeCommand(int code);
Command ReadCodeCommand();
// Data request for a channel address: byte 0 = 0x80 + address / 128 rounded
// halves-to-even, byte 1 = address % 128. Nothing for an address whose byte 0
// would not fit (below 0 or above 16319).
std::optional<Command> DataRequest(int address);
// Burst request of a trigger collection or timed recording: 0x80 + unit, for
// units 0..127 (0..125 leave the start and reset bytes alone; 126 and 127 are
// sent as they always were).
std::optional<uint8_t> BurstRequest(int unit);
// Burst request of running mode: 0x80 + unit / 128 rounded halves-to-even.
std::optional<uint8_t> BurstRequestRunning(int unit);

// ---- Replies

// Seven-bit unpacking of whole 7-byte groups: appends 6 data bytes per group
// of `wire` to `data`; a trailing part group is ignored. Returns the groups.
std::size_t Unpack7(std::span<const uint8_t> wire, std::vector<uint8_t>& data);
// True when every whole 7-byte group of `wire` is as the units pack it: six
// data bytes with bit 7 clear and a flag byte using bits 0..5 only.
bool WellPacked(std::span<const uint8_t> wire);
// The inverse, for the units: 6 data bytes per group (the last group padded
// with zeros).
std::vector<uint8_t> Pack7(std::span<const uint8_t> data);

// One sample from three data bytes, most significant first. Values above
// 8388607 become v - 16777217, so 0xFFFFFF reads -2 and 0x800000 -8388609.
int32_t Sample24(uint8_t d0, uint8_t d1, uint8_t d2);
// What a converter puts on the wire for a count: 24-bit two's complement of
// the count clamped to -8388608..8388607. Sample24 of it gives the count for
// 0 and above and the count minus 1 below 0.
std::array<uint8_t, 3> ConverterBytes(int32_t count);

// Decodes `count` samples from wire bytes in seven-bit packing into `out`.
// Returns the number of samples made: fewer when the wire holds fewer whole
// groups than the samples need.
int DecodeSamples(std::span<const uint8_t> wire, int count, float* out);

// The 4-byte trigger-time reply: R1 high seven bits, R2 low seven bits, R3
// bit 0 = top bit of R1, bit 1 = top bit of R2 (R0 unused). Nothing when fewer
// than 4 bytes are given; extra bytes are ignored.
std::optional<int32_t> TriggerTimeOfReply(std::span<const uint8_t> reply);
std::array<uint8_t, 4> TriggerTimeReply(int32_t t);  // t = 0..65535
// The 2-byte code reply R0 x 256 + R1; nothing when fewer than 2 bytes.
std::optional<int32_t> CodeOfReply(std::span<const uint8_t> reply);

}  // namespace q24::frames
