#pragma once

// The program state: every program-wide variable of QUELDA24, under the name
// the rest of the program uses for it. The application owns one State and
// hands it by reference to every part; each test makes its own.
//
// Everything is zero, false or empty when a State is made, exactly as the
// variables are at process start; the start-up code (ini.txt reader, main
// window load step) gives the working values afterwards.
//
// Widths follow the values the program exchanges with the units and with its
// files: 16-bit counts and codes are int16_t, 32-bit ones int32_t, samples are
// float. Flags are plain bool: no flag is ever written to a file or sent to
// the units, so how truth is stored is the program's own affair.
//
// Array bounds are inclusive, as the program counts them: "0..250" holds 251
// elements, and the comment says which indices are in use.

#include <algorithm>
#include <array>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace q24 {

// Channel positions a spread can have (Ch_param's positions 1..96, four
// groups of the channel settings' 24 slots): the most traces N_Geofoni counts.
inline constexpr int kTracePositions = 96;
// At 500 Hz and below the units send bursts, to at most this many positions.
inline constexpr int kSlowRatePositions = 24;

// A trace count (N_Geofoni or a value meant for it) kept within
// `lowest`..kTracePositions.
constexpr int ClampTraceCount(int n, int lowest = 0) { return std::clamp(n, lowest, kTracePositions); }

// A rows x cols block of float samples on the heap, row-major, all zero when
// made. Row r is one trace, column k its sample k.
class TraceArray {
public:
    TraceArray() = default; // 0 x 0, holds nothing

    TraceArray(int rows, int cols) { resize(rows, cols); }

    // Replaces the contents by rows x cols zeros. Throws std::bad_alloc when
    // the block cannot be had (negative or oversized dimensions included);
    // the old contents are then left as they were.
    void resize(int rows, int cols)
    {
        if (rows < 0 || cols < 0)
            throw std::bad_alloc();
        const auto r = static_cast<std::size_t>(rows);
        const auto c = static_cast<std::size_t>(cols);
        std::vector<float> fresh;
        if (c != 0 && r > fresh.max_size() / c)
            throw std::bad_alloc();
        fresh.assign(r * c, 0.0f);
        data_.swap(fresh);
        rows_ = rows;
        cols_ = cols;
    }

    float& operator()(int row, int col)
    {
        assert(inside(row, col));
        return data_[index(row, col)];
    }

    float operator()(int row, int col) const
    {
        assert(inside(row, col));
        return data_[index(row, col)];
    }

    // First sample of row r; the row's cols() samples follow it.
    float* row(int r)
    {
        assert(r >= 0 && r < rows_);
        return data_.data() + index(r, 0);
    }

    const float* row(int r) const
    {
        assert(r >= 0 && r < rows_);
        return data_.data() + index(r, 0);
    }

    int rows() const { return rows_; }
    int cols() const { return cols_; }

private:
    bool inside(int row, int col) const
    {
        return row >= 0 && row < rows_ && col >= 0 && col < cols_;
    }

    std::size_t index(int row, int col) const
    {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(cols_)
            + static_cast<std::size_t>(col);
    }

    std::vector<float> data_;
    int rows_ = 0;
    int cols_ = 0;
};

struct State {
    // ---- Stored in ini.txt (read once at start-up, written once by EXIT),
    //      in the file's line order.

    // Samples per trace. The parameters dialog offers 256..16384 (powers of
    // two); 128 at the low rates, Running_N in running mode, whatever a loaded
    // file holds. Set by the parameters dialog, running mode, the timed
    // sampling "<<" button and the loader.
    int32_t N_samples{};

    // Sampling frequency in Hz: 125, 250, 500, 1000 ... 32000. Set by the
    // parameters dialog and the loader.
    int32_t Sampling_freq{};

    // Number of traces (geophones) recorded and shown. Set by the trace-count
    // scroll bar, the parameters dialog (at most 24 at the low rates) and the
    // loader. Dati has rows for 97 traces only; whoever sets this keeps it
    // there.
    int16_t N_Geofoni{};

    // Trigger source sent in the parameter command: 1000..1023 = trigger unit
    // option 1..24 of the trigger units dialog, 1..999 = manual trigger
    // number; 100..123 is the range the unit letters and the start check
    // know. Set by the trigger units and channel settings dialogs.
    int16_t Trigger_unit{};

    // Unit number delivering each channel position (0 = none), the address of
    // its data requests. Index 0..250: positions 1..96 in use, slots 1..240
    // kept in ini.txt, slots 1..24 shown at a time by the channel settings
    // dialog (which is the only writer).
    std::array<int16_t, 251> Ch_param{};

    // Geophone spacing in metres (0.1..10 in the geometry dialog; 5.0 when
    // ini.txt has none). Written into the data file headers and record files.
    float Dist_geofoni{};

    // Source position relative to the first geophone, metres, any sign. Set by
    // the geometry dialog and the record-file loader; written negated in the
    // data file header and as is in the record file.
    float Pos_source{};

    // Carried from ini.txt to ini.txt; nothing else uses it.
    int16_t Ini_spare1{};

    // Length of a timed or passive recording in minutes, 1..59. Set by the
    // ">>"/"<<" buttons of both recording dialogs.
    int16_t Finestra_tempo{};

    // Carried from ini.txt to ini.txt; nothing else uses it.
    int16_t Ini_spare2{};

    // Line rate for trigger shots and running mode: 125000, 250000, 500000 or
    // 1000000 baud. Empty until ini.txt supplies a number; an empty or
    // unknown value is replaced by 250000 at start-up with the "Missing
    // Baud_rate" message, which is why a first start shows it. Set by the
    // speed dialog; used by the port open, the unit reset and Set_baud.
    std::optional<double> Baud_rate;

    // Line rate for timed sampling ("Continuous sampling"), same values; also
    // decides which low frequencies the parameters dialog offers.
    int32_t Baud_rate_high{};

    // Running mode's sampling frequency (Hz) and samples per sweep; set by the
    // running parameters dialog, 2000 and 256 when ini.txt has none.
    int16_t Running_Fs{};
    int16_t Running_N{};

    // Trigger time correction in microseconds, -2000..+2000 (0 = factory
    // value). Set by the trigger time dialog; enters Trg_delay.
    int16_t Trg_correction{};

    // ---- Channel selection

    // Channel position selected for acquisition and display. Index 0..250,
    // positions 1..96 in use. Set by the channel settings dialog; cleared by
    // running mode when a unit's framing error deselects it.
    std::array<bool, 251> Ch_enabled{};

    // ---- Trigger

    // The trigger source is a manual trigger number, not a trigger unit.
    // Derived at start-up (Trigger_unit below 97), then set by the trigger
    // units dialog's manual check box.
    bool Manual_trigger{};

    // Trigger mode sent in the parameter command: 1 while a triggered shot is
    // armed, 0 otherwise (running, timed and passive recordings).
    int16_t Trg_mode{};

    // Trigger edge: 0 = contact closing, 1 = contact opening. Set by the
    // parameters dialog.
    int16_t Trg_opening{};

    // Pre-trigger samples, at most N_samples / 2. Set by the parameters
    // dialog; added to Trg_time before the trigger-time command goes out.
    int16_t N_pretrigger{};

    // Trigger time reported by the units' 4-byte reply (0..65535), then that
    // plus N_pretrigger once the trigger-time command is built; the builder
    // refuses 32768 or more with "Trigger error". Wider than 16 bits so the
    // sum can be held and refused rather than wrapped.
    int32_t Trg_time{};

    // 1500 - Trg_correction microseconds, never below 0. Computed per channel
    // by the trigger collection.
    int16_t Trg_delay{};

    // Trigger delay in samples: Trg_delay x Sampling_freq x 1e-6 after a shot,
    // Sampling_freq x 0.0021 after a file load. The trigger collection reads
    // each trace shifted by it; the plotter draws samples up to
    // N_samples - 1 - Trg_offset; the pre-trigger line is placed with it.
    float Trg_offset{};

    // Code typed in the unit code dialog (0..1999), kept for the rest of the
    // run; the high part of byte 0 of the trigger-time command.
    int16_t Unit_code{};

    // ---- Serial line and reception

    // COM port number 1..16 chosen in the port dialog.
    int16_t Com_port{};

    // Port number being probed by the port dialog; the re-open after a unit
    // failure also puts the port's current number here.
    int16_t Port_probe{};

    // Port_list[n] == n when port n opened during the probe, 0 otherwise.
    // Index 0..129; ports 1..16 are probed, 1..128 are listed.
    std::array<int16_t, 130> Port_list{};

    // Set by the receive handler when the receive threshold was reached and
    // the bytes were taken into Rx_buffer; cleared by each reader before it
    // sends its request.
    bool Rx_done{};

    // Set by the receive handler on any line or buffer error; cleared by the
    // block wait that sees it.
    bool Comm_error{};

    // Set by the receive handler on a framing error (together with
    // Comm_error); cleared by running mode when it deselects the channel.
    bool Framing_err{};

    // Set by a block read that ended on a line error; tested and cleared by
    // running mode.
    bool Link_error{};

    // Every byte the receive handler took from the port at its last receive
    // event (a data block uses the first 896). Kept until the next event.
    std::vector<uint8_t> Rx_buffer;

    // The block and burst readers give up after their time limit only while
    // this is true; set true at start-up.
    bool Use_timeout{};

    // Samples in one burst reply (3.5 bytes each on the wire; the units send
    // 128). Sets the bursts' receive threshold and running mode's mean.
    int16_t Burst_N{};

    // ---- Stop signals

    // 1 = the operator asked to stop. Set by STOP, "Exit from Trigger", a
    // passive unit failure and a framing-error deselection; every wait of the
    // link and the acquisitions tests it after each yield; every start clears
    // it to 0.
    int16_t Stop_req{};

    // True = the next block read abandons the acquisition (timers off, units
    // reset). Set by STOP, passive unit failures and framing-error
    // deselection; cleared at every start.
    bool Stop_flag{};

    // ---- Stacking

    // Stacking mode: each GO TRIGGER adds one shot to the sum in Dati. Set by
    // the stacking dialog; cleared by the trigger save dialog.
    bool Stacking{};

    // True once the first "Keep on Stacking?" of a series has been asked (the
    // geometry dialog is then no longer shown before each shot). Cleared by
    // the trigger save dialog.
    bool Stack_series{};

    // Each hit of a series is shown to the operator, who adds it, adds it
    // reversed in polarity or rejects it. Off at start; set by the stacking
    // dialog, not kept in ini.txt.
    bool Review_hits{};

    // Shots summed in the current series (with Review_hits, the hits added);
    // 0 after the series is written.
    int16_t N_stack{};

    // Hits in the trigger record last written to its data file: 1 for a
    // single shot, the series' count for a stacked record. Its .sg2 says so.
    int16_t Record_hits{1};

    // ---- Running mode

    // Samples per read at 500 Hz and below: 128 from start-up on, never
    // changed. Also the block length of timed sampling.
    int16_t N_slow{};

    // ---- Timed sampling

    // Length of the last timed or passive recording in seconds
    // (Finestra_tempo x 60, set at START).
    int32_t Acq_seconds{};

    // Samples per channel of the timed recording: Sampling_freq x Acq_seconds
    // at START, then N_slow x the number of blocks actually taken.
    int32_t N_samples_cont{};

    // Timed sampling's own samples, Dati_cont(ch-1, k) = sample k of channel
    // position ch. Empty until the first START, which replaces it by exactly
    // what the recording fills: N_Geofoni rows of N_slow x (whole blocks)
    // samples. resize() throws std::bad_alloc when memory is short; START
    // reports it.
    TraceArray Dati_cont;

    // Per-channel mean removed from the last timed recording. Index 0..96.
    std::array<float, 97> Mean_cont{};

    // When the units began each stretch of the last timed or passive
    // recording that they sampled without a break, on the PC clock (UTC,
    // microseconds since 1970): one for timed sampling, one per block of a
    // passive recording (each block is its own command). Set as each stretch
    // is commanded; the miniSEED copy stamps the samples with it.
    std::vector<int64_t> Record_start_utc;

    // ---- Passive recording

    // The recording in hand is a passive one: set by passive START, cleared by
    // GO TRIGGER and timed sampling START. Read by the trigger save dialog.
    bool Passive_mode{};

    // Samples per passive block (8192, set at START) and the number of blocks
    // of the recording (at least 1).
    int16_t N_block_passive{};
    int16_t N_blocks_passive{};

    // ---- Display

    // 0 = automatic range per trace, else the amplification 1, 10, 100, 1000.
    // Set by the gain buttons.
    int16_t Gain{};

    // Trace drawing style: 1 lines, 2 red/blue lobes, 3 black lobes. Set to 1
    // by start-up and by running mode, otherwise by the display options
    // dialog; not stored in ini.txt.
    int16_t Display_mode{};

    // Horizontal distance between trace axes in the picture's units; set by
    // start-up, the trace-count scroll bar and every trace drawn.
    int32_t Trace_spacing{};

    // ---- Traces

    // All traces: trace t in row t-1, samples in raw 24-bit converter counts.
    // Bounds (0..96, 0..16384): at most 97 traces of 16385 samples. Filled by
    // the acquisitions (summed there when stacking) and the loader; read by
    // the plotter, the file writers and the spectrum.
    TraceArray Dati{97, 16385};

    // The one-trace receive buffer, index 0..20000. Every reader leaves its
    // trace here (block reads with the mean removed); the redraw copies each
    // row of Dati here before drawing it.
    std::vector<float> Traccia = std::vector<float>(20001);

    // ---- Files and refraction projects

    // Path of the file in hand: ini.txt while it is read and written, then the
    // .sg2 and record-file paths of a save, the file picked in the load
    // dialog.
    std::string File_path;

    // A refraction project is open: its project file takes one line per
    // trigger save. Set by the project name dialog, cleared when the project
    // ends.
    bool Refraction_project{};

    // Name of the open refraction project, as typed; the project file is
    // Data/<Prj_name>.prj in the program folder.
    std::string Prj_name;

    // ---- Geometry view

    // Dist_geofoni / 2, the step of the "<" and ">" source moves; set by every
    // full drawing of the geometry dialog.
    float Half_spacing{};

    // Left edge of the shot symbol in the geometry dialog, twips.
    int32_t Shot_x{};

    // ---- Spectrum

    // Amplitude of each frequency bin of the last evaluated trace, index
    // 0..16384; bins beyond those computed keep earlier values. On the heap
    // like the traces, so a State can live on the stack.
    std::vector<float> Spettro_amp = std::vector<float>(16385);
};

} // namespace q24
