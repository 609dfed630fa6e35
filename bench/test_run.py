#!/usr/bin/env python3
"""Tests of the benchmark's tools: bench/run's measuring of a process tree,
its cutting of the benchmark text and its handling of commands that fail,
and (when their paths are given in the environment, as ctest gives them)
synth_lib_bench and enc_lib_bench driving the fake engine and encoder, set
against the program itself."""
import importlib.machinery
import importlib.util
import io
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest
import unittest.mock
from pathlib import Path

HERE = Path(__file__).resolve().parent


def load_run():
    loader = importlib.machinery.SourceFileLoader("bench_run", str(HERE / "run"))
    module = importlib.util.module_from_spec(importlib.util.spec_from_loader("bench_run", loader))
    loader.exec_module(module)
    return module


run = load_run()
MiB = 2**20
PY = sys.executable
# Holds argv[1] MiB of written memory for argv[2] seconds.
HOLD = "import sys, time; b = b'x' * (int(sys.argv[1]) << 20); time.sleep(float(sys.argv[2]))"
# Spends argv[1] seconds of CPU time.
BURN = ("import sys, time\nend = time.process_time() + float(sys.argv[1])\n"
        "while time.process_time() < end: pass")


class ProcessTreeMeasurement(unittest.TestCase):
    def test_memory_of_processes_alive_together_adds_up(self):
        # Held long enough to overlap however slowly the second one starts.
        script = f'{PY} -c "$0" 100 2 & {PY} -c "$0" 100 2 & wait'
        sample = run.measure(["bash", "-c", script, HOLD])
        self.assertGreater(sample.peak, 195 * MiB)
        self.assertLess(sample.peak, 300 * MiB)

    def test_memory_of_processes_one_after_the_other_does_not(self):
        script = f'{PY} -c "$0" 100 0.3 && {PY} -c "$0" 100 0.3'
        sample = run.measure(["bash", "-c", script, HOLD])
        self.assertGreater(sample.peak, 100 * MiB)
        self.assertLess(sample.peak, 150 * MiB)

    def test_a_peak_shorter_than_the_sampling_still_counts(self):
        code = "import time; b = b'x' * (150 << 20); del b; time.sleep(0.3)"
        sample = run.measure([PY, "-c", code])
        self.assertGreater(sample.peak, 150 * MiB)

    def test_cpu_time_of_every_process_of_a_pipe(self):
        script = f'{PY} -c "$0" 0.3 | {PY} -c "$0" 0.3 | cat'
        sample = run.measure(["bash", "-c", script, BURN])
        self.assertGreater(sample.cpu, 0.58)

    def test_a_daemon_that_left_the_tree_still_counts(self):
        # The engine's synthesis processes are double-forked: their parent
        # ends at once and the command does not wait for them. This daemon
        # burns CPU, then holds memory until the command has seen it.
        daemon = ("import os, sys, time\n"
                  "end = time.process_time() + 0.4\n"
                  "while time.process_time() < end: pass\n"
                  "b = b'x' * (100 << 20); open(sys.argv[1], 'w').close(); time.sleep(2)")
        with tempfile.TemporaryDirectory() as tmp:
            ready = Path(tmp) / "ready"
            script = (f'( {PY} -c "$0" "$1" & ) ; '
                      'while [ ! -e "$1" ]; do sleep 0.05; done; sleep 0.2')
            run.adopt_orphans()
            sample = run.measure(["bash", "-c", script, daemon, ready])
        self.assertGreater(sample.cpu, 0.38)
        self.assertGreater(sample.peak, 100 * MiB)

    def test_failure_reports_exit_code_and_errors(self):
        with self.assertRaises(run.CommandFailed) as caught:
            run.measure(["bash", "-c", "echo out; echo no such voice >&2; exit 3"])
        self.assertIn("exit 3", str(caught.exception))
        self.assertIn("no such voice", str(caught.exception))
        self.assertNotIn("out", str(caught.exception).split("\n", 1)[1])


class CuttingTheText(unittest.TestCase):
    TEXT = (HERE / "data" / "citazioni.txt").read_bytes()

    def paragraphs(self, text):
        return [p.strip(b"\r\n") for p in text.split(b"\r\n\r\n") if p.strip()]

    def test_pieces_are_whole_paragraphs_of_about_the_size_asked(self):
        for count, size in (run.MANY_TEXTS, run.BOOKS):
            pieces = run.cut_texts(self.TEXT, count, size)
            self.assertEqual(len(pieces), count)
            joined = b"".join(pieces)
            self.assertEqual(joined, self.TEXT[:len(joined)])
            # Each paragraph lies whole in one piece, in the text's order.
            self.assertEqual([p for piece in pieces for p in self.paragraphs(piece)],
                             self.paragraphs(joined))
            for piece in pieces:
                self.assertTrue(piece.endswith(b"\r\n\r\n"))
                self.assertFalse(piece.startswith(b"\r\n"))
                self.assertLess(abs(len(piece) - size), 0.15 * size, len(piece))
            self.assertLess(abs(len(joined) - count * size), 0.01 * count * size)

    def test_cuts_at_the_nearest_paragraph_start_and_refuses_a_short_text(self):
        text = b"aaa\r\n\r\nbb\r\nbb\r\n\r\n\r\nc\r\n\r\n"
        self.assertEqual(run.cut_texts(text, 2, 8), [b"aaa\r\n\r\n", b"bb\r\nbb\r\n\r\n\r\n"])
        self.assertEqual(run.cut_texts(text, 1, 40), [text])
        with self.assertRaises(ValueError):
            run.cut_texts(text, 4, 8)


# Stands for narravox: records its arguments, fails for a text named fail*.
FAKE_PROGRAM = """#!/bin/bash
echo "$*" >> "$(dirname "$0")/runs"
case "${@: -1}" in fail*) echo "* ERRORE: gia' in corso" >&2; exit 4;; esac
"""


class FailingCommands(unittest.TestCase):
    def setUp(self):
        self.tmp = Path(tempfile.mkdtemp())
        self.addCleanup(shutil.rmtree, self.tmp)
        self.program = self.tmp / "program"
        self.program.write_text(FAKE_PROGRAM)
        self.program.chmod(0o755)

    def runs(self):
        return sorted((self.tmp / "runs").read_text().splitlines())

    def test_every_run_of_s_and_x_counts_and_a_failing_one_fails_the_command(self):
        texts = ["a b.txt", "c.txt", "d.txt"]
        for build in (run.runs_one_after_another, run.runs_two_at_a_time):
            (self.tmp / "runs").unlink(missing_ok=True)
            run.measure(build(self.program, ["/VE=175", "/PA=1"], self.tmp / "o", texts))
            self.assertEqual(self.runs(), [f"/VE=175 /PA=1 /D={self.tmp}/o/ {t}" for t in texts])
            with self.assertRaises(run.CommandFailed) as caught:
                run.measure(build(self.program, [], self.tmp / "o", ["a.txt", "fail.txt", "b.txt"]))
            self.assertIn("gia' in corso", str(caught.exception))
            self.assertNotEqual(caught.exception.status, 0)

    def test_a_failed_command_is_reported_without_figures_and_not_run_again(self):
        out = {x: self.tmp / "out" / x for x in ("s", "x", "m")}
        writes = 'echo same > "$0/f"; echo "$1" >> %s/log' % self.tmp
        commands = {"s": ["bash", "-c", writes, out["s"], "s"],
                    "x": ["bash", "-c", writes, out["x"], "x"],
                    "m": [self.program, "/PA=1", "fail.txt"]}
        results, failures, made, differences = run.run_rounds(
            commands, out, 2, self.tmp, log=io.StringIO())
        self.assertEqual(differences, [])
        self.assertEqual((self.tmp / "log").read_text().split(), ["s", "x", "x", "s"])
        self.assertEqual(list(failures), ["m"])
        self.assertEqual(len(results["m"]), 0)
        self.assertEqual(self.runs(), ["/PA=1 fail.txt"])
        shown = io.StringIO()
        with unittest.mock.patch("sys.stdout", shown):
            run.report(results, failures, made, differences, 2, {}, commands)
        self.assertIn("m          failed (exit 4", shown.getvalue())
        self.assertIn("trees equal: yes", shown.getvalue())
        self.assertIn("gia' in corso", shown.getvalue())

        commands["x"] = ["bash", "-c", 'echo other > "$0/f"', out["x"]]
        differences = run.run_rounds(commands, out, 1, self.tmp, log=io.StringIO())[3]
        self.assertEqual(differences, ["f"])


def wav(samples, rate=8000, channels=1, extra=b"", data_size=None):
    """A PCM WAV file: an optional chunk before the data, and a data size
    (0xFFFFFFFF for a streamed file) other than the real one if given."""
    data = struct.pack(f"<{len(samples)}h", *samples)
    fmt = struct.pack("<HHIIHH", 1, channels, rate, rate * 2 * channels, 2 * channels, 16)
    body = b"WAVE" + b"fmt " + struct.pack("<I", 16) + fmt + extra
    body += b"data" + struct.pack("<I", len(data) if data_size is None else data_size) + data
    return b"RIFF" + struct.pack("<I", len(body)) + body


def tool(name):
    return os.environ.get(name)


@unittest.skipUnless(tool("ENC_LIB_BENCH") and tool("FAKE_LAME_ENC"), "bench tools not given")
class EncoderBench(unittest.TestCase):
    """The fake encoder writes one byte per sample, the sample's low byte."""

    def encode(self, wav_bytes):
        with tempfile.TemporaryDirectory() as tmp:
            source, target = Path(tmp) / "in.wav", Path(tmp) / "out.mp3"
            source.write_bytes(wav_bytes)
            done = subprocess.run([tool("ENC_LIB_BENCH"), source, target, tool("FAKE_LAME_ENC")],
                                  capture_output=True, text=True)
            return done, target.read_bytes() if target.exists() else b""

    def test_every_sample_reaches_the_encoder_once_in_order(self):
        # More than one 30-second buffer at 8000 Hz, not a whole number of
        # chunks, after an odd-sized chunk that the reader must skip with
        # its pad byte, and with the length a streamed file gives.
        samples = [(i * 7) % 200 - 100 for i in range(8000 * 31 + 123)]
        extra = b"LIST" + struct.pack("<I", 5) + b"abcde" + b"\0"
        for data_size in (None, 0xFFFFFFFF):
            done, mp3 = self.encode(wav(samples, extra=extra, data_size=data_size))
            self.assertEqual(done.returncode, 0, done.stderr)
            self.assertEqual(mp3, bytes(s & 0xFF for s in samples))
            self.assertIn(f"audio_seconds={len(samples) / 8000:.1f}", done.stdout)

    def test_refuses_what_is_not_16_bit_mono(self):
        done, _ = self.encode(wav([0, 1, 2, 3], channels=2))
        self.assertEqual(done.returncode, 1)
        self.assertIn("not a 16-bit mono WAV", done.stderr)
        done, _ = self.encode(b"RIFF\0\0\0\0WAVEjunk")
        self.assertEqual(done.returncode, 1)


@unittest.skipUnless(tool("SYNTH_LIB_BENCH") and tool("FAKE_ECI") and tool("FAKE_LAME_ENC")
                     and tool("NARRAVOX"), "bench tools not given")
class SynthesisBench(unittest.TestCase):
    """The fake engine speaks every byte of text as one sample of its value,
    and the fake encoder writes it back: the program's MP3 files hold the
    text it spoke, and synth_lib_bench's WAV file the text it spoke."""

    def test_speaks_exactly_what_the_program_speaks(self):
        text = (HERE / "data" / "citazioni.txt").read_bytes()[:40000]
        with tempfile.TemporaryDirectory() as tmp:
            tmp = Path(tmp)
            (tmp / "testo.txt").write_bytes(text)
            program = run.program_folder(tmp / "program", tool("NARRAVOX"), tool("FAKE_ECI"),
                                         tool("FAKE_LAME_ENC"))
            subprocess.run([program, "/TI=N", "/PP=N", "/VE=175", "/P=1", "/CC=N", f"/D={tmp}/out/",
                            "testo.txt"], cwd=tmp, check=True, stdout=subprocess.DEVNULL)
            files = sorted((tmp / "out" / "testo").iterdir())
            spoken = b"".join(f.read_bytes() for f in files)

            done = subprocess.run([tool("SYNTH_LIB_BENCH"), "--wav", tmp / "lib.wav",
                                   tmp / "testo.txt", "175", tool("FAKE_ECI")],
                                  capture_output=True, text=True, check=True)
            data = (tmp / "lib.wav").read_bytes()

        self.assertGreater(len(files), 1)
        self.assertIn(f"fragments={len(files)}", done.stdout)
        self.assertEqual(struct.unpack("<I", data[40:44])[0], len(data) - 44)
        self.assertEqual(data[45::2], bytes(len(spoken)))  # high bytes: all zero
        self.assertEqual(data[44::2], spoken)


if __name__ == "__main__":
    unittest.main()
