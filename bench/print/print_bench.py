#!/usr/bin/env python3
"""The print benchmark: labelplu beside gLabels 3 and beside the PDF floor.

Prints the price tag (58 x 40 mm, one label per page: name, article, price,
EAN-13, frame) and an A4 sheet of 3 x 7 labels (70 x 42.3 mm) into PDF files
with `labelhost print`, the same jobs with `glabels-3-batch` from equivalent
gLabels templates (peer/), and the same pages with bench_pdf_floor (QPdfWriter
writing the rendered texts and images, no label logic). Every run is timed
and its peak memory (maximum resident set) read from the kernel; a sample of
pages of every labelplu PDF is decoded with zbarimg and compared with the
records (peer/decode_check.py). Each labelplu job up to 10,000 records runs
once more with --verify (every barcode read back with zxing-cpp before the
job spools); its cost per label and the ratio to the plain run are reported.

    print_bench.py BUILD_DIR [--quick] [--no-peer]

--quick: 1,000 records only and no 100,000-record memory run. --no-peer:
skip gLabels. Results go to standard output and BUILD_DIR/bench-print/
results.md. The data is generated with a fixed seed (peer/gen.py).
"""
import argparse
import csv
import os
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
OUR_HEADER = ["Наименование", "Цена", "Артикул", "Штрихкод"]


def run(cmd, **kw):
    """Runs cmd; returns (seconds, peak RSS in MiB)."""
    start = time.monotonic()
    proc = subprocess.Popen(cmd, **kw)
    _, status, usage = os.wait4(proc.pid, 0)
    seconds = time.monotonic() - start
    proc.returncode = os.waitstatus_to_exitcode(status)
    if proc.returncode != 0:
        sys.exit(f"print_bench: {' '.join(cmd)} failed with {proc.returncode}")
    return seconds, usage.ru_maxrss / 1024.0


def pages(pdf):
    out = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True, check=True).stdout
    return int(next(l.split()[1] for l in out.splitlines() if l.startswith("Pages:")))


def make_data(work, counts):
    shutil.copy(os.path.join(HERE, "peer", "gen.py"), work)
    sys.path.insert(0, work)
    import gen  # noqa: E402  (the peer's generator: Cyrillic names, valid EAN-13)
    gen.D = work
    files = {}
    for n in counts:
        gen.random.seed(20241210)
        peer_csv = os.path.join(work, f"data_{n}.csv")
        ours_csv = os.path.join(work, f"ours_{n}.csv")
        with open(peer_csv, "w", newline="", encoding="utf-8") as pf, \
                open(ours_csv, "w", newline="", encoding="utf-8") as of:
            pw = csv.DictWriter(pf, fieldnames=["name", "price", "article", "barcode"])
            ow = csv.writer(of)
            pw.writeheader()
            ow.writerow(OUR_HEADER)
            for r in gen.records(n):
                pw.writerow(r)
                ow.writerow([r["name"], r["price"], r["article"], r["barcode"]])
        files[n] = (peer_csv, ours_csv)
    return files


class Bench:
    def __init__(self, build, work):
        self.labelhost = os.path.join(build, "bin", "labelhost")
        self.floor = os.path.join(build, "bin", "bench_pdf_floor")
        self.work = work
        self.env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
        for tool in (self.labelhost, self.floor):
            if not os.access(tool, os.X_OK):
                sys.exit(f"print_bench: {tool} is missing; build first")

    def settings(self, name, sheet):
        """A settings file holding one device: one label per page, or the A4
        sheet of 3 x 7 labels without gaps (the layout counts are set through
        a settings document, as the settings dialog stores them)."""
        path = os.path.join(self.work, f"{name}.xml")
        if os.path.exists(path):
            os.remove(path)
        params = {"MaxHorizontal": 3, "MaxVertical": 7, "GapHorizontal": 0, "GapVertical": 0,
                  "MarginLeft": 0, "MarginRight": 0, "MarginTop": "0,45", "MarginBottom": 0,
                  "HorizontalAlign": 0, "VerticalAlign": 0, "AutoPosition": 0} if sheet else {}
        device = os.path.join(self.work, f"{name}-device.xml")
        with open(device, "w", encoding="utf-8") as f:
            f.write('<?xml version="1.0" encoding="UTF-8"?>\n'
                    '<Устройство КодМодели="{7785F5AB-7C69-459E-915C-4D66F2EC68B9}" '
                    'Наименование="Бенчмарк"><Параметры>')
            for key, value in params.items():
                f.write(f'<Параметр Идентификатор="{key}" Значение="{value}"/>')
            f.write("</Параметры></Устройство>\n")
        subprocess.run([self.labelhost, "--settings", path, "add", device], env=self.env,
                       check=True, stdout=subprocess.DEVNULL)
        return path

    def ours(self, csv_path, sheet, tag, verify=False):
        out = os.path.join(self.work, f"ours_{tag}{'_verify' if verify else ''}.pdf")
        template = os.path.join(HERE, "sheet_70x42.lb3" if sheet else "price_58x40.lb3")
        cmd = [self.labelhost, "--settings", self.settings(f"settings_{tag}", sheet), "print",
               "--template", template, "--data", csv_path, "--output", out,
               "--paper", "210x297" if sheet else "label"] + (["--verify"] if verify else [])
        seconds, mib = run(cmd, env=self.env, stdout=subprocess.DEVNULL)
        return seconds, mib, out

    def floor_run(self, csv_path, sheet, tag):
        out = os.path.join(self.work, f"floor_{tag}.pdf")
        seconds, mib = run([self.floor, csv_path, out, "sheet" if sheet else "label"],
                           env=self.env, stdout=subprocess.DEVNULL)
        return seconds, mib, out

    def glabels(self, csv_path, sheet, tag, chunk=None):
        doc = os.path.join(HERE, "peer", "sheet_a4_3x7.glabels" if sheet else "label_58x40.glabels")
        out = os.path.join(self.work, f"glabels_{tag}.pdf")
        if chunk is None:
            seconds, mib = run(["glabels-3-batch", "-i", csv_path, "-o", out, doc],
                               env=self.env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
            return seconds, mib, out
        # Runs of `chunk` records joined with pdfunite (the peer does not
        # finish large jobs in one run: its memory grows with the square of
        # the record count).
        with open(csv_path, encoding="utf-8") as f:
            rows = list(csv.reader(f))
        header, body = rows[0], rows[1:]
        parts, total, peak = [], 0.0, 0.0
        for i in range(0, len(body), chunk):
            part_csv = os.path.join(self.work, f"chunk_{tag}_{i}.csv")
            with open(part_csv, "w", newline="", encoding="utf-8") as f:
                w = csv.writer(f)
                w.writerow(header)
                w.writerows(body[i:i + chunk])
            part_pdf = part_csv[:-4] + ".pdf"
            s, m = run(["glabels-3-batch", "-i", part_csv, "-o", part_pdf, doc],
                       env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            total, peak = total + s, max(peak, m)
            parts.append(part_pdf)
        s, _ = run(["pdfunite"] + parts + [out])
        return total + s, peak, out


def decode(pdf, peer_csv, per_page, n_pages):
    sample = sorted({1, 2, max(1, n_pages // 2), n_pages})
    out = subprocess.run([sys.executable, os.path.join(HERE, "peer", "decode_check.py"), pdf,
                          peer_csv, str(per_page)] + [str(p) for p in sample],
                         capture_output=True, text=True, check=True).stdout
    total = out.strip().splitlines()[-1]
    return total


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("build")
    ap.add_argument("--quick", action="store_true")
    ap.add_argument("--no-peer", action="store_true")
    args = ap.parse_args()
    build = os.path.abspath(args.build)
    work = os.path.join(build, "bench-print")
    os.makedirs(work, exist_ok=True)
    peer = not args.no_peer and shutil.which("glabels-3-batch") is not None
    counts = [1000] if args.quick else [1000, 10000, 100000]
    data = make_data(work, counts)
    b = Bench(build, work)
    lines = []

    def report(text):
        print(text, flush=True)
        lines.append(text)

    report("| job | records | labelplu s | labels/s | peak MiB | floor s | gLabels s | gLabels MiB | speed-up | vs floor |")
    report("|---|---|---|---|---|---|---|---|---|---|")
    results = {}
    verified = []
    for sheet in (False, True):
        for n in counts:
            if n == 100000 and sheet:
                continue
            kind = "A4 3x7" if sheet else "58x40 roll"
            tag = f"{'sheet' if sheet else 'label'}_{n}"
            peer_csv, ours_csv = data[n]
            s, mib, pdf = b.ours(ours_csv, sheet, tag)
            per_page = 21 if sheet else 1
            expected_pages = -(-n // per_page)
            got_pages = pages(pdf)
            if got_pages != expected_pages:
                sys.exit(f"print_bench: {pdf} has {got_pages} pages, expected {expected_pages}")
            fs, _, _ = b.floor_run(peer_csv, sheet, tag) if n <= 10000 else (float("nan"), 0, "")
            gs = gm = float("nan")
            if peer and n <= 10000 and not (sheet and n < 10000):
                chunk = 1000 if (not sheet and n > 1000) else None
                gs, gm, _ = b.glabels(peer_csv, sheet, tag, chunk)
            results[tag] = (s, mib)
            check = decode(pdf, peer_csv, per_page, got_pages)
            report(f"| {kind} | {n} | {s:.2f} | {n / s:.0f} | {mib:.0f} | {fs:.2f} | {gs:.2f} | "
                   f"{gm:.0f} | {gs / s:.1f}x | {s / fs:.2f}x |")
            report(f"|  | decode: {check} |||||||||")
            if n <= 10000:
                vs, vmib, vpdf = b.ours(ours_csv, sheet, tag, verify=True)
                if pages(vpdf) != expected_pages:
                    sys.exit(f"print_bench: {vpdf} has the wrong page count")
                verified.append((kind, n, s, vs, vmib))
    report("\n| job | records | plain ms/label | --verify ms/label | check ms/label | ratio | peak MiB |")
    report("|---|---|---|---|---|---|---|")
    for kind, n, s, vs, vmib in verified:
        report(f"| {kind} | {n} | {1000 * s / n:.3f} | {1000 * vs / n:.3f} | "
               f"{1000 * (vs - s) / n:.3f} | {vs / s:.2f}x | {vmib:.0f} |")
    if "label_100000" in results:
        m1, m100 = results["label_1000"][1], results["label_100000"][1]
        report(f"\nPeak memory, 100,000 records / 1,000 records: {m100:.0f} / {m1:.0f} MiB = "
               f"{m100 / m1:.2f}")
    with open(os.path.join(work, "results.md"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")
    print(f"\nresults: {os.path.join(work, 'results.md')}")


if __name__ == "__main__":
    main()
