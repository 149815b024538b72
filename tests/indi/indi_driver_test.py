#!/usr/bin/python3
"""End-to-end test of indi_qelvesk_ccd: indiserver on a free loopback port with
the driver on the simulated camera, and INDI clients that connect, expose,
abort, cool, change filters, guide and misbehave. The server is always
stopped at the end."""

import argparse
import io
import os
import shutil
import signal
import socket
import subprocess
import sys
import tempfile
import time
import warnings

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from indi_client import IndiClient  # noqa: E402

DEVICE = "QelVesk CCD"
FAILURES = []


def check(condition, what):
    if not condition:
        FAILURES.append(what)
        print("FAIL:", what, flush=True)
    return condition


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def read_fits(data):
    from astropy.io import fits

    with warnings.catch_warnings():
        warnings.simplefilter("error")  # a file a general reader complains about fails the test
        with fits.open(io.BytesIO(data)) as hdus:
            return hdus[0].data.shape, dict(hdus[0].header)


def trace_lines(path):
    try:
        with open(path) as f:
            return f.read().splitlines()
    except FileNotFoundError:
        return []


def program_settings(args, root):
    """The settings as the program itself reads them."""
    return subprocess.run([args.cli, "--root", root, "defaults-show"], check=True, capture_output=True,
                          text=True).stdout


def expose(client, seconds, wait=15):
    """Takes one frame; returns its FITS bytes or None."""
    before = len(client.blobs)
    client.new_number("CCD_EXPOSURE", {"CCD_EXPOSURE_VALUE": seconds})
    if not client.wait_for(lambda: len(client.blobs) > before, wait):
        return None
    fmt, data = client.blobs[-1]
    check(fmt == ".fits", "the BLOB is a FITS file, format %r" % fmt)
    return data


def answering(client):
    """The driver still takes a command and reports it: a filter move."""
    slot = 2 if client.value("FILTER_SLOT", "FILTER_SLOT_VALUE") != "2" else 1
    client.new_number("FILTER_SLOT", {"FILTER_SLOT_VALUE": slot})
    return client.wait_for(
        lambda: client.state("FILTER_SLOT") == "Ok" and client.value("FILTER_SLOT", "FILTER_SLOT_VALUE") == str(slot),
        5,
    )


def run(args, work):
    root = os.path.join(work, "root")
    trace = os.path.join(work, "usb.trace")
    # The program itself writes the settings file the driver then shares.
    subprocess.run([args.cli, "--root", root, "--camera", "K1C", "defaults-show"], check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    settings_path = os.path.join(root, "autosave", "Qel_K1C.ini")
    with open(settings_path, "rb") as f:
        settings_start = f.read()

    env = dict(os.environ, HOME=os.path.join(work, "home"), QELVESK_ROOT=root, QELVESK_TRACE_USB=trace)
    os.makedirs(env["HOME"], exist_ok=True)
    port = free_port()
    log = open(os.path.join(work, "server.log"), "w")
    # The local socket is named after this run too: with the default name a
    # second indiserver on the machine (another test run) would make this one exit.
    server = subprocess.Popen([args.server, "-v", "-p", str(port), "-u", os.path.join(work, "indiserver"),
                               args.driver], env=env, stdout=log, stderr=subprocess.STDOUT, start_new_session=True)
    try:
        client = None
        for _ in range(50):
            try:
                client = IndiClient(port, DEVICE)
                break
            except OSError:
                time.sleep(0.1)
        if not check(client is not None, "indiserver accepts a client"):
            return
        client.get_properties()
        check(client.wait_for(lambda: "CONNECTION" in client.props and "SIMULATION" in client.props, 10),
              "the driver defines CONNECTION and SIMULATION")
        check(client.value("CAMERA_MODEL", "K1C") == "On", "the camera model is the settings file's")

        client.new_switch("SIMULATION", {"ENABLE": True})
        client.wait_for(lambda: client.value("SIMULATION", "ENABLE") == "On", 5)
        client.new_switch("CONNECTION", {"CONNECT": True})
        check(client.wait_for(lambda: client.state("CONNECTION") == "Ok" and "CCD_INFO" in client.props, 15),
              "connects to the simulated camera")
        with open(settings_path, "rb") as f:
            check(f.read() == settings_start, "connecting leaves the settings file as it was")

        # The program saves a setting of its own while the driver is connected:
        # what the driver saves later keeps it.
        subprocess.run([args.cli, "--root", root, "defaults-set drift=500", "defaults-save"], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        check("drift=500" in program_settings(args, root), "the program saved its own change")

        # The sensor of the model, from the camera table.
        check(client.value("CCD_INFO", "CCD_MAX_X") == "1392" and client.value("CCD_INFO", "CCD_MAX_Y") == "1040",
              "CCD_INFO sensor size %s x %s" % (client.value("CCD_INFO", "CCD_MAX_X"),
                                                 client.value("CCD_INFO", "CCD_MAX_Y")))
        check(abs(float(client.value("CCD_INFO", "CCD_PIXEL_SIZE")) - 6.45) < 0.01, "CCD_INFO pixel size 6.45 um")
        check(client.value("CCD_INFO", "CCD_BITSPERPIXEL") == "16", "CCD_INFO 16 bits")
        check(client.value("CCD_CFA", "CFA_TYPE") == "RGGB", "CCD_CFA RGGB")

        # Cooling to -10 from here on; the temperature is looked at later.
        start_temperature = float(client.value("CCD_TEMPERATURE", "CCD_TEMPERATURE_VALUE"))
        cooling_since = time.monotonic()
        client.new_number("CCD_TEMPERATURE", {"CCD_TEMPERATURE_VALUE": -10})
        check(client.wait_for(lambda: client.value("CCD_COOLER", "COOLER_ON") == "On", 5), "the cooler is switched on")

        # A full frame of 1 s.
        data = expose(client, 1)
        if check(data is not None, "a 1 s exposure sends its BLOB"):
            shape, header = read_fits(data)
            check(shape == (1040, 1392), "full frame shape %s" % (shape,))
            check(header.get("EXPTIME") == 1.0, "EXPTIME %r" % header.get("EXPTIME"))
            check(header.get("BAYERPAT") == "RGGB", "BAYERPAT %r" % header.get("BAYERPAT"))
            check(header.get("XBINNING") == 1 and abs(header.get("XPIXSZ", 0) - 6.45) < 0.01, "XBINNING/XPIXSZ")
            check("CCD-TEMP" in header, "the cooled frame records CCD-TEMP")
        check(client.state("CCD_EXPOSURE") == "Ok", "CCD_EXPOSURE Ok after the frame")
        print("\n".join(m for m in client.messages if "frame copies" in m), flush=True)

        # 2x2 binning: half the size, no colour pattern on binned pixels.
        client.new_number("CCD_BINNING", {"HOR_BIN": 2, "VER_BIN": 2})
        client.wait_for(lambda: client.value("CCD_BINNING", "HOR_BIN") == "2", 5)
        data = expose(client, 0.2)
        if check(data is not None, "a binned exposure sends its BLOB"):
            shape, header = read_fits(data)
            check(shape == (520, 696), "2x2 frame shape %s" % (shape,))
            check(header.get("XBINNING") == 2 and "BAYERPAT" not in header, "binned frame keywords")
        client.new_number("CCD_BINNING", {"HOR_BIN": 1, "VER_BIN": 1})
        client.wait_for(lambda: client.value("CCD_BINNING", "HOR_BIN") == "1", 5)

        # The half-size window anywhere on the sensor.
        client.new_number("CCD_FRAME", {"X": 100, "Y": 60, "WIDTH": 696, "HEIGHT": 520})
        check(client.wait_for(lambda: client.state("CCD_FRAME") == "Ok" and client.value("CCD_FRAME", "X") == "100",
                              5), "the half-size window is taken")
        data = expose(client, 0.2)
        if check(data is not None, "a sub-frame exposure sends its BLOB"):
            check(read_fits(data)[0] == (520, 696), "sub-frame shape")

        # A window the camera cannot read, one off the sensor, and one at an odd column: refused, the frame kept.
        for frame in ({"X": 0, "Y": 0, "WIDTH": 500, "HEIGHT": 400},
                      {"X": 1000, "Y": 900, "WIDTH": 696, "HEIGHT": 520},
                      {"X": 101, "Y": 60, "WIDTH": 696, "HEIGHT": 520}):
            messages = len(client.messages)
            kept = dict(client.props["CCD_FRAME"]["values"])
            client.new_number("CCD_FRAME", frame)
            check(client.wait_for(lambda: client.state("CCD_FRAME") == "Alert" and len(client.messages) > messages, 5),
                  "frame %s refused with a message" % frame)
            check(client.props["CCD_FRAME"]["values"] == kept, "the refused frame %s leaves the frame" % frame)
        client.new_number("CCD_FRAME", {"X": 0, "Y": 0, "WIDTH": 1392, "HEIGHT": 1040})
        client.wait_for(lambda: client.state("CCD_FRAME") == "Ok", 5)

        # Abort: no image comes, and the next exposure works.
        blobs = len(client.blobs)
        client.new_number("CCD_EXPOSURE", {"CCD_EXPOSURE_VALUE": 3})
        client.wait_for(lambda: client.state("CCD_EXPOSURE") == "Busy", 5)
        # The driver counts down while the exposure runs: it is not blocked.
        check(client.wait_for(lambda: client.state("CCD_EXPOSURE") == "Busy"
                              and 0 < float(client.value("CCD_EXPOSURE", "CCD_EXPOSURE_VALUE")) < 3, 5),
              "the time left is reported during the exposure")
        client.new_switch("CCD_ABORT_EXPOSURE", {"ABORT": True})
        check(client.wait_for(lambda: client.state("CCD_EXPOSURE") in ("Idle", "Alert"), 5), "abort ends the exposure")
        client.pump(3)
        check(len(client.blobs) == blobs, "an aborted exposure sends no image")
        check(expose(client, 0.2) is not None, "an exposure after the abort works")

        # Filter wheel: the move goes to the simulated USB wheel.
        wheel_writes = sum(1 for line in trace_lines(trace) if line.startswith("W wheel"))
        client.new_number("FILTER_SLOT", {"FILTER_SLOT_VALUE": 3})
        check(client.wait_for(lambda: client.value("FILTER_SLOT", "FILTER_SLOT_VALUE") == "3"
                              and client.state("FILTER_SLOT") == "Ok", 5), "filter slot 3 taken")
        check(sum(1 for line in trace_lines(trace) if line.startswith("W wheel")) > wheel_writes,
              "the filter move reached the wheel")
        check(client.value("FILTER_NAME", "FILTER_SLOT_NAME_1") == "Blank", "filter names from the settings")

        # A north guide pulse: the camera's north relay (bit 4) set, then all released.
        before = len(trace_lines(trace))
        reported = len(client.states("TELESCOPE_TIMED_GUIDE_NS"))
        client.new_number("TELESCOPE_TIMED_GUIDE_NS", {"TIMED_GUIDE_N": 200, "TIMED_GUIDE_S": 0})
        check(client.wait_for(lambda: "Busy" in client.states("TELESCOPE_TIMED_GUIDE_NS")[reported:], 5),
              "guide pulse starts")
        check(client.wait_for(lambda: client.state("TELESCOPE_TIMED_GUIDE_NS") in ("Idle", "Ok"), 5),
              "guide pulse completes")
        writes = [line.split(":", 1)[1].split() for line in trace_lines(trace)[before:]
                  if line.startswith("W camera")]
        pulse = [(a, b) for i, a in enumerate(writes) for b in writes[i + 1:]
                 if a[2] == "04" and b[2] == "00" and a[:2] == b[:2] and a[3:] == b[3:]]
        check(pulse, "the USB trace holds the north relay on, then off")

        # Bad input: unknown property, value not a number, out of range, odd binning.
        client.new_number("NO_SUCH_PROPERTY", {"X": 1})
        client.new_number("CCD_EXPOSURE", {"CCD_EXPOSURE_VALUE": "not-a-number"})
        client.new_number("CCD_TEMPERATURE", {"CCD_TEMPERATURE_VALUE": 99})
        check(client.wait_for(lambda: client.state("CCD_TEMPERATURE") == "Alert", 5), "a set point of 99 is refused")
        client.new_number("CCD_BINNING", {"HOR_BIN": 3, "VER_BIN": 2})
        check(client.wait_for(lambda: client.state("CCD_BINNING") == "Alert", 5), "3x2 binning is refused")
        # Values that are not numbers pass any range check: each is refused with
        # a message, no frame is taken, the set point and the settings file stay.
        with open(settings_path, "rb") as f:
            settings_before_nan = f.read()
        blobs = len(client.blobs)
        # An element the property does not have is refused the same way.
        for prop, values, said in (("CCD_TEMPERATURE", {"CCD_TEMPERATURE_VALUE": "nan"}, "not a number"),
                                   ("CCD_EXPOSURE", {"CCD_EXPOSURE_VALUE": "nan"}, "not a number"),
                                   ("TELESCOPE_TIMED_GUIDE_NS", {"TIMED_GUIDE_N": "nan", "TIMED_GUIDE_S": 0},
                                    "not a number"),
                                   ("CCD_EXPOSURE", {"NO_SUCH_ELEMENT": 1}, "has no element"),
                                   ("CCD_TEMPERATURE", {"NO_SUCH_ELEMENT": -20}, "has no element")):
            messages = len(client.messages)
            client.new_number(prop, values)
            check(client.wait_for(lambda: client.state(prop) == "Alert"
                                  and any(said in m for m in client.messages[messages:]), 5),
                  "%s %s is refused with a message" % (prop, values))
        client.pump(2)
        check(len(client.blobs) == blobs, "an exposure of nan or of an unknown element takes no frame")
        with open(settings_path, "rb") as f:
            check(f.read() == settings_before_nan, "a set point of nan or of an unknown element leaves the settings file as it was")
        check(client.value("CCD_COOLER", "COOLER_ON") == "On", "the cooler keeps its state after a nan set point")
        client.send("<newNumberVector device='%s' name='CCD_EXPOSURE'><oneNumber name='CCD_EXP" % DEVICE)
        client.send("OSURE_VALUE'>1e9999</oneNumber></newNumberVector>\n")
        client.pump(1)
        check(answering(client), "the driver answers after bad input")

        # A second client sees the same device and both see its changes.
        other = IndiClient(port, DEVICE)
        other.get_properties(blobs=False)
        check(other.wait_for(lambda: other.value("CONNECTION", "CONNECT") == "On" and "CCD_INFO" in other.props, 5),
              "a second client sees the connected camera")
        other.new_number("FILTER_SLOT", {"FILTER_SLOT_VALUE": 5})
        check(client.wait_for(lambda: client.value("FILTER_SLOT", "FILTER_SLOT_VALUE") == "5", 5),
              "the first client sees the second client's filter move")
        other.close()

        # The cooler has been working all this time.
        check(client.wait_for(lambda: float(client.value("CCD_TEMPERATURE", "CCD_TEMPERATURE_VALUE"))
                              < start_temperature, max(1, 25 - (time.monotonic() - cooling_since))),
              "CCD_TEMPERATURE falls from %s toward -10" % start_temperature)
        with open(settings_path, "rb") as f:
            settings_cooled = f.read()
        check(settings_cooled != settings_start and len(settings_cooled) == len(settings_start),
              "the set point changed through INDI is saved in the settings file")
        check("drift=500" in program_settings(args, root),
              "the set point saved through INDI keeps what the program saved meanwhile")

        # Disconnect in the middle of an exposure, then connect and expose again.
        # A guide pulse is under way too.
        client.new_number("CCD_EXPOSURE", {"CCD_EXPOSURE_VALUE": 3})
        client.wait_for(lambda: client.state("CCD_EXPOSURE") == "Busy", 5)
        client.new_number("TELESCOPE_TIMED_GUIDE_NS", {"TIMED_GUIDE_N": 5000, "TIMED_GUIDE_S": 0})
        client.wait_for(lambda: client.state("TELESCOPE_TIMED_GUIDE_NS") == "Busy", 5)
        messages = len(client.messages)
        client.new_switch("CONNECTION", {"DISCONNECT": True})
        check(client.wait_for(lambda: client.value("CONNECTION", "DISCONNECT") == "On", 5),
              "disconnects during an exposure")
        client.pump(1)
        check(any("cut short" in m for m in client.messages[messages:]),
              "the exposure and the pulse cut short by the disconnection are reported")
        client.new_switch("CONNECTION", {"CONNECT": True})
        check(client.wait_for(lambda: client.state("CONNECTION") == "Ok"
                              and client.value("CONNECTION", "CONNECT") == "On", 10), "connects again")
        client.pump(1)
        # Nothing runs now: neither property comes back busy, waiting for what will never come.
        check(client.state("CCD_EXPOSURE") != "Busy", "no exposure is shown running after the reconnection")
        check(client.state("TELESCOPE_TIMED_GUIDE_NS") != "Busy", "no guide pulse is shown running after the reconnection")
        check(expose(client, 0.2) is not None, "exposes after the reconnection")

        with open(settings_path, "rb") as f:
            check(f.read() == settings_cooled, "bad input, frames and filter moves leave the settings file intact")

        # What a client changes is the program's: filter names and the camera model.
        client.new_text("FILTER_NAME", {"FILTER_SLOT_NAME_2": "Ha"})
        check(client.wait_for(lambda: client.state("FILTER_NAME") == "Ok"
                              and client.value("FILTER_NAME", "FILTER_SLOT_NAME_2") == "Ha", 5), "filter 2 renamed")
        check("filterNames=Blank,Ha,Filter 3" in program_settings(args, root), "the program reads the new name")
        check("drift=500" in program_settings(args, root), "the renamed filter keeps what the program saved")
        client.new_switch("CAMERA_MODEL", {"K2C": True})
        check(client.wait_for(lambda: client.state("CAMERA_MODEL") == "Alert", 5),
              "the model is not changed while connected")
        client.new_switch("CONNECTION", {"DISCONNECT": True})
        client.wait_for(lambda: client.value("CONNECTION", "DISCONNECT") == "On", 5)
        client.new_switch("CAMERA_MODEL", {"K2C": True})
        check(client.wait_for(lambda: client.state("CAMERA_MODEL") == "Ok", 5), "the model is changed disconnected")
        check(client.value("CAMERA_MODEL", "K2C") == "On" and client.value("CAMERA_MODEL", "K1C") == "Off",
              "one model is chosen")
        check("camera=K2C" in program_settings(args, root), "the program reads the new model")
        # The program now names five filters: the next connection offers five names.
        subprocess.run([args.cli, "--root", root, "defaults-set filterCount=5", "defaults-save"], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        client.new_switch("CONNECTION", {"CONNECT": True})
        check(client.wait_for(lambda: client.state("CONNECTION") == "Ok"
                              and client.value("CCD_INFO", "CCD_MAX_X") == "1940", 10),
              "the simulated camera is the new model")
        check(client.wait_for(lambda: len(client.props.get("FILTER_NAME", {}).get("values", {})) == 5, 5),
              "five filter names for the five filters the settings name")

        # The program switched to the K7: offered now, and without "Ignore
        # Camera VID/PID" its simulated camera is not opened, which is said.
        client.new_switch("CONNECTION", {"DISCONNECT": True})
        client.wait_for(lambda: client.value("CONNECTION", "DISCONNECT") == "On", 5)
        subprocess.run([args.cli, "--root", root, "--camera", "K7", "defaults-show"], check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        messages = len(client.messages)
        client.new_switch("CONNECTION", {"CONNECT": True})
        check(client.wait_for(lambda: client.state("CONNECTION") == "Alert", 10), "no camera: the connection fails")
        check(any("No camera" in m for m in client.messages[messages:]), "the failed connection says why")
        check(client.value("CAMERA_MODEL", "K7") == "On", "the K7 is offered once the settings name it")
        check(server.poll() is None, "indiserver still runs")
        client.close()
    finally:
        # Always stop the server and its driver.
        try:
            os.killpg(server.pid, signal.SIGTERM)
        except ProcessLookupError:
            pass
        try:
            server.wait(5)
        except subprocess.TimeoutExpired:
            os.killpg(server.pid, signal.SIGKILL)
            server.wait()
        log.close()
    with open(os.path.join(work, "server.log")) as f:
        server_log = f.read()
    check("restart" not in server_log.lower(), "the driver never died and was restarted")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--driver", required=True)
    parser.add_argument("--cli", required=True)
    parser.add_argument("--server", default="indiserver")
    args = parser.parse_args()
    if not os.path.exists(args.driver):
        # A build that made only the core tests (the sanitizer run) has no driver.
        print("skipped: %s was not built" % args.driver)
        return 77
    # A stop from outside still runs the clean-up above.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    work = tempfile.mkdtemp(prefix="qelvesk-indi-")
    try:
        run(args, work)
    finally:
        if FAILURES:
            print("server log:\n" + open(os.path.join(work, "server.log")).read()[-3000:]
                  if os.path.exists(os.path.join(work, "server.log")) else "")
        shutil.rmtree(work, ignore_errors=True)
    if FAILURES:
        print("%d failure(s)" % len(FAILURES))
        return 1
    print("indi driver: all checks passed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
