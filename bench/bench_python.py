"""python_values_per_s: to_pandas() of 16 channels x 1,000,000 records.
Usage: bench_python.py DATA_DIR ZK7_CLI (the module on PYTHONPATH)."""
import os
import subprocess
import sys
import time

import zk7

data_dir, cli = sys.argv[1], sys.argv[2]
path = os.path.join(data_dir, "python-16x1M.zk")
if not os.path.exists(path):
    subprocess.run([cli, "make-sample", path, "--channels", "16", "--records", "1000000"], check=True)
doc = zk7.open(path)
doc.to_pandas(stop=1000)  # pandas' own import and first-call costs stay out of the figure
times = []
for _ in range(3):
    t0 = time.perf_counter()
    df = doc.to_pandas()
    times.append(time.perf_counter() - t0)
    assert df.shape == (1000000, 16)
best = min(times)
print(f"python_values_per_s: {16e6 / best:.0f} values/s (to_pandas of 16 channels x 1,000,000 records in "
      f"{best:.3f} s, best of 3)")
