#!/usr/bin/env python3
"""fixtally-check --follow against the check of the finished log.

    follow.py FIXTALLY_CHECK

A writer appends generated logs (one with every kind of anomaly, one of a GLO
receiver) in chunks of random size, cut anywhere, between CR and LF too, with
random pauses, to a file, a pipe on standard input, a named pipe and a
pseudo-terminal. The follow's standard output, as text and as JSON, must be
the check's of the whole log, byte for byte, and so must its exit status and
its standard error but for the waiting lines. Then the ends of a follow: a
file truncated or replaced (status 2 after the summary), SIGTERM, SIGTERM
before the pre-scan is over, Ctrl-C twice, a reader of standard output that
goes away.
"""
import fcntl
import functools
import json
import operator
import os
import pty
import random
import signal
import subprocess
import sys
import tempfile
import threading
import time
import tty

HERE = os.path.dirname(os.path.abspath(__file__))
GEN = os.environ.get("GEN", os.path.join(HERE, "..", "..", "..", "shared", "tools", "gen_nmea.py"))
OPTIONS = ["--date-pattern", "yyyy/MM/dd", "--reference-date", "2019-05-02"]
TEXT = OPTIONS + ["--line-numbers"]
JSON = OPTIONS + ["--json"]
WAITING = b"waiting for 1000 RMC sentences before checking: "
IDLE = "0.8"
TIMEOUT = 60

problems = []


def problem(text):
    problems.append(text)
    print("FAIL " + text, flush=True)


def generate(folder):
    """A 10 Hz log with every kind of anomaly, and a GLO receiver's: from the
    project's log generator, or where it is not at hand from the logs of the
    reference model's tests."""
    if not os.path.exists(GEN):
        sys.path.insert(0, os.path.join(HERE, "..", "reference"))
        import make_logs
        print("(%s not found: logs from make_logs.py)" % GEN)
        return (make_logs.plain_log(random.Random(11), 10, 2, 1600, 0.03),
                make_logs.glo_log(random.Random(12), 6000, 3, announce_at=2))
    logs = []
    for name, args in (("every.nmea", ["--rate", "10", "--system", "gps", "--epochs", "1600", "--anomaly-rate",
                                       "0.03", "--eol", "mixed", "--seed", "11"]),
                       ("glo.nmea", ["--glo", "--epochs", "600", "--anomaly-rate", "0.03", "--eol", "mixed",
                                     "--seed", "12"])):
        path = os.path.join(folder, name)
        subprocess.run([sys.executable, GEN, "-o", path] + args, check=True, stderr=subprocess.DEVNULL)
        with open(path, "rb") as f:
            logs.append(f.read())
        os.remove(path)
    return logs


def chunks(data, rng):
    """The log in pieces of random size; some pieces end between a CR and
    its LF. Each piece comes with the pause to make after it."""
    pos = 0
    while pos < len(data):
        end = min(len(data), pos + rng.randint(1, 4000))
        pause = rng.uniform(0.002, 0.02) if rng.random() < 0.04 else 0.0
        if rng.random() < 0.1:
            crlf = data.find(b"\r\n", pos)
            if crlf >= 0:
                end, pause = crlf + 1, 0.005
        yield data[pos:end], pause
        pos = end


def write_all(fd, data, rng):
    for piece, pause in chunks(data, rng):
        view = memoryview(piece)
        while view:
            view = view[os.write(fd, view):]
        if pause:
            time.sleep(pause)


def start(checker, options, log, **streams):
    return subprocess.Popen(checker + options + ["--follow", log], **streams)


def finish(proc, out, err):
    try:
        proc.wait(TIMEOUT)
    except subprocess.TimeoutExpired:
        proc.kill()
        proc.wait()
    out.seek(0)
    err.seek(0)
    return proc.returncode, out.read(), err.read()


def without_waiting(err):
    return b"".join(line for line in err.splitlines(True) if not line.startswith(WAITING))


def batch(checker, options, data, log):
    """The check of the finished log, under the follow's name for it."""
    with tempfile.TemporaryFile() as f:
        f.write(data)
        f.seek(0)
        done = subprocess.run(checker + options + ["-"], stdin=f, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                              timeout=TIMEOUT)
    out, err = done.stdout, done.stderr
    if log != "-":
        out = out.replace(b'{"log":"-",', b'{"log":' + json.dumps(log).encode() + b",", 1)
        err = err.replace(b"fixtally-check: -: ", b"fixtally-check: " + log.encode() + b": ")
    return done.returncode, out, err


def compare(what, options, got, wanted):
    status, out, err = got
    want_status, want_out, want_err = wanted
    if status != want_status:
        problem("%s: exit status %s, wanted %s" % (what, status, want_status))
    if "--json" in options:
        lines = out.splitlines(True)
        document = lines[-1:] if lines else []
        doc = json.loads(want_out)
        streamed = [{"log": doc["log"], "anomaly": a} for a in doc["anomalies"]]
        if [json.loads(line) for line in lines[:-1]] != streamed:
            problem("%s: the anomaly lines are not the document's anomalies" % what)
        out = b"".join(document)
    if out != want_out:
        problem("%s: standard output differs from the check of the whole log" % what)
    if without_waiting(err) != want_err:
        problem("%s: standard error %r, wanted %r" % (what, without_waiting(err)[:300], want_err[:300]))


def follow_file(checker, data, rng, folder):
    """Text and JSON follow the same file at once."""
    path = os.path.join(folder, "log.nmea")
    fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
    runs = []
    for options in (TEXT, JSON):
        out, err = tempfile.TemporaryFile(), tempfile.TemporaryFile()
        runs.append((options, start(checker, options + ["--idle", IDLE], path, stdout=out, stderr=err), out, err))
    write_all(fd, data, rng)
    os.close(fd)
    for options, proc, out, err in runs:
        yield options, path, finish(proc, out, err)
    os.remove(path)


def follow_pipe(checker, data, rng, options, folder):
    out, err = tempfile.TemporaryFile(), tempfile.TemporaryFile()
    proc = start(checker, options, "-", stdin=subprocess.PIPE, stdout=out, stderr=err, bufsize=0)
    write_all(proc.stdin.fileno(), data, rng)
    proc.stdin.close()
    return "-", finish(proc, out, err)


def follow_fifo(checker, data, rng, options, folder):
    path = os.path.join(folder, "fifo")
    os.mkfifo(path)
    out, err = tempfile.TemporaryFile(), tempfile.TemporaryFile()
    proc = start(checker, options, path, stdout=out, stderr=err)
    fd = os.open(path, os.O_WRONLY)   # waits for the checker to open it
    write_all(fd, data, rng)
    os.close(fd)
    result = finish(proc, out, err)
    os.remove(path)
    return path, result


def follow_pty(checker, data, rng, options, folder):
    master, slave = pty.openpty()
    tty.setraw(slave)   # as stty raw sets up a serial port: bytes pass unchanged
    name = os.ttyname(slave)
    out, err = tempfile.TemporaryFile(), tempfile.TemporaryFile()
    proc = start(checker, options + ["--idle", IDLE], name, stdout=out, stderr=err)
    write_all(master, data, rng)
    result = finish(proc, out, err)
    os.close(master)
    os.close(slave)
    return name, result


def agreement(checker, logs, folder):
    seeds = random.Random(int(os.environ.get("FOLLOW_SEED", time.time())))
    for log_name, data in logs:
        seed = seeds.randrange(1 << 30)
        for options, name, got in follow_file(checker, data, random.Random(seed), folder):
            compare("%s file %s (seed %d)" % (log_name, options[-1], seed), options, got,
                    batch(checker, options, data, name))
        for kind, follow in (("pipe", follow_pipe), ("fifo", follow_fifo), ("pty", follow_pty)):
            for options in (TEXT, JSON):
                seed = seeds.randrange(1 << 30)
                name, got = follow(checker, data, random.Random(seed), options, folder)
                compare("%s %s %s (seed %d)" % (log_name, kind, options[-1], seed), options, got,
                        batch(checker, options, data, name))


def file_end(checker, what, data, change, wanted_status, wanted_message, folder):
    """Follows a file with data in it until change(path) ends the follow;
    the report must be that of data."""
    path = os.path.join(folder, "end.nmea")
    with open(path, "wb") as f:
        f.write(data)
    out, err = tempfile.TemporaryFile(), tempfile.TemporaryFile()
    proc = start(checker, TEXT, path, stdout=out, stderr=err)
    time.sleep(0.5)
    change(path, proc)
    status, got_out, got_err = finish(proc, out, err)
    want_status, want_out, _ = batch(checker, TEXT, data, path)
    if status != (wanted_status if wanted_status is not None else want_status):
        problem("%s: exit status %s" % (what, status))
    if got_out != want_out:
        problem("%s: the report is not that of the log as it was followed" % what)
    last = got_err.splitlines()[-1:] if got_err else []
    if wanted_message and last != [wanted_message.encode()]:
        problem("%s: standard error ends %r" % (what, last))
    if not got_out.splitlines()[-1].startswith(b"Completed."):
        problem("%s: no Completed. line" % what)
    if os.path.exists(path):
        os.remove(path)


def replace(path, proc):
    with open(path + ".new", "wb") as f:
        f.write(b"$GPGGA,another log\r\n")
    os.replace(path + ".new", path)


def ends(checker, every, folder):
    cut = every[:len(every) * 3 // 5]
    lead = "fixtally-check: %s: the follow ended because " % os.path.join(folder, "end.nmea")
    file_end(checker, "truncated", cut, lambda p, _: os.truncate(p, 100), 2,
             lead + "the file was truncated", folder)
    file_end(checker, "replaced", cut, replace, 2,
             lead + "its name no longer leads to the file (renamed, removed or replaced)", folder)
    file_end(checker, "sigterm", every, lambda _, proc: proc.send_signal(signal.SIGTERM), None, None, folder)
    # Fewer than 1000 RMC sentences and no GLO receiver: the check has not
    # begun yet when the follow ends.
    early = every[:every.find(b"RMC", len(every) // 4)]
    file_end(checker, "sigterm in the pre-scan", early, lambda _, proc: proc.send_signal(signal.SIGTERM), None,
             None, folder)
    two_interrupts(checker)
    reader_gone(checker, every, folder)


def two_interrupts(checker):
    """The first Ctrl-C ends the follow; a second one while the check still
    runs aborts it. The check is held up by a standard output that nobody
    reads, while it goes over the pre-scan's 1000 sentences again, 50 lines
    apart and all of them repeats."""
    body = b"GPRMC,120000.00,A,3540.1234,N,13945.6789,E,000.0,054.7,020519,,,A"
    rmc = b"$" + body + b"*%02X" % functools.reduce(operator.xor, body, 0)
    log = (rmc + b"\r\n" + b"$GPGSV,3,1,12,01,40,083,46*70\r\n" * 50) * 1000
    proc = subprocess.Popen(checker + TEXT + ["--follow", "-"], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL)
    try:   # a small pipe holds the check up for sure (100 kB of report lines)
        fcntl.fcntl(proc.stdout.fileno(), getattr(fcntl, "F_SETPIPE_SZ", 1031), 4096)
    except OSError:
        pass
    threading.Thread(target=lambda: proc.stdin.write(log), daemon=True).start()
    time.sleep(1.5)
    proc.send_signal(signal.SIGINT)
    time.sleep(0.3)
    proc.send_signal(signal.SIGINT)
    out = proc.stdout.read()
    status = proc.wait(TIMEOUT)
    proc.stdin.close()
    # The status line after an abort is the last progress point, as in the window.
    if status != 130 or out.splitlines()[-3:-1] != [b"", b"Aborted by user."]:
        problem("two interrupts: exit status %s, output ends %r" % (status, out[-60:]))


def reader_gone(checker, every, folder):
    """A reader of the report that goes away (| head -3) ends a follow that
    waits, at once and quietly."""
    path = os.path.join(folder, "head.nmea")
    with open(path, "wb") as f:
        f.write(every)
    proc = subprocess.Popen(checker + TEXT + ["--no-notes", "--follow", path], stdout=subprocess.PIPE,
                            stderr=subprocess.PIPE)
    for _ in range(3):
        proc.stdout.readline()
    proc.stdout.close()
    try:
        status = proc.wait(5)
    except subprocess.TimeoutExpired:
        proc.kill()
        status = "still running"
    err = proc.stderr.read()
    if status not in (2, -signal.SIGPIPE) or err:
        problem("reader gone: exit status %s, standard error %r" % (status, err[:200]))
    os.remove(path)


def main():
    checker = sys.argv[1:]
    with tempfile.TemporaryDirectory() as folder:
        every, glo = generate(folder)
        agreement(checker, [("every kind", every), ("glo", glo)], folder)
        ends(checker, every, folder)
    print("cli follow: %d failed" % len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
