#!/usr/bin/env python3
# A mutation sample as ../shared/tools/mutants.py draws it (its candidates, its shuffle, its
# mutations, the first N that build), judged faster on a build made once: the mutated folder's
# own test programs first (a failure there is a failure of the suite, a hang a catch); a mutant
# they miss goes through the whole suite (ctest), a failure re-run to rule out load.
# usage: scripts/mutation-sample.py CLONE BUILD SEED [N]   (CLONE: a scratch clone of the project,
# BUILD: its Release build with the tests; the clone is left as it was)
import sys, random, runpy, subprocess, os, glob, types, signal
m = types.SimpleNamespace(**runpy.run_path(
    os.path.join(os.path.dirname(os.path.abspath(__file__)), "../../shared/tools/mutants.py")))
src, bld, seed = sys.argv[1], sys.argv[2], int(sys.argv[3])
n = int(sys.argv[4]) if len(sys.argv) > 4 else 30
env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
def sh(cmd, t=1800):
    # in a session of its own, so that a hung test program goes down with its shell; a program
    # that grows without end (a fault in a queue's loop) fails at 8 GiB instead of filling memory
    p = subprocess.Popen("ulimit -v 8388608; " + cmd, shell=True, cwd=src, env=env, stdout=subprocess.PIPE,
                         stderr=subprocess.PIPE, text=True, errors="replace", start_new_session=True)
    try:
        out, err = p.communicate(timeout=t)
    except subprocess.TimeoutExpired:
        os.killpg(p.pid, signal.SIGKILL)
        p.communicate()
        return None
    return subprocess.CompletedProcess(cmd, p.returncode, out, err)
c = m.candidates(src, []); random.Random(seed).shuffle(c)
# the test programs the build still makes (a stale one left in the folder is no target)
targets = set(l[4:] for l in sh(f"cmake --build {bld} --target help").stdout.splitlines() if l.startswith("... "))
alltests = sorted(p for p in glob.glob(f"{bld}/tests/*/tests_*")
                  if os.path.isfile(p) and os.access(p, os.X_OK) and os.path.basename(p) in targets)
total = caught = 0
for idx, (f, i, k, a, b) in enumerate(c):
    if total >= n: break
    old, new = m.apply(os.path.join(src, f), i, k, a, b)
    try:
        key = f.split("/")[0]
        key = {"lang": "app"}.get(key, key)
        progs = [p for p in alltests if f"/tests/{key}/" in p]
        # the program itself only for the folders whose tests run it
        targets = " ".join(os.path.basename(p) for p in progs) + (
            " qvlink qvlink-pictures" if key in ("app", "mqtt") else "")
        r = sh(f"nice cmake --build {bld} -j2 --target {targets}", 900)
        if r is None or r.returncode:
            why = [l for l in ((r.stdout or "") + (r.stderr or "")).splitlines() if "error" in l][:1] if r else ["timeout"]
            print(idx, "nobuild", f"{f}:{i+1}", *why, flush=True); continue
        how = None
        for p in progs:
            t = sh(p, 300)
            if t is None:  # a hang is a catch: not waited for twice
                how = os.path.basename(p) + "(hang)"; break
            if t.returncode:
                t2 = sh(p, 600)
                if t2 is None or t2.returncode:
                    how = os.path.basename(p) + ("(hang)" if t is None else ""); break
        if not how:
            r = sh(f"nice cmake --build {bld} -j2", 1800)
            if r is None or r.returncode:
                print(idx, "nobuild-all", f"{f}:{i+1}", flush=True); continue
            t = sh(f"ctest --test-dir {bld} -j2 --timeout 120")
            if t is None:
                how = "suite(hang)"
            elif t.returncode:
                t2 = sh(f"ctest --test-dir {bld} --rerun-failed --timeout 120")
                if t2 is None or t2.returncode:
                    how = "suite:" + ",".join(l.split()[-3] for l in (t.stdout or "").splitlines() if "Failed" in l or "***" in l)[:200]
        total += 1; caught += how is not None
        print(idx, total, "caught" if how else "SURVIVED", how or "", f"{f}:{i+1}: {old.strip()}  ->  {new.strip()}", flush=True)
    finally:
        sh(f"git checkout -q -- {f}")
print(f"caught {caught} of {total} mutants ({100 * caught / max(1, total):.0f} %)", flush=True)
sh(f"nice cmake --build {bld} -j2")
