"""What `cmake --install` and the Debian package hold, and that the installed
programs and module run from there."""
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

BUILD = os.environ["ZK7_BUILD_DIR"]
VERSION = os.environ["ZK7_VERSION"]
SITE = "lib/python3/dist-packages"
PROGRAMS = ("zk7", "zk7-cli", "zk7-sim")
EXPECTED = {f"bin/{p}" for p in PROGRAMS} | {f"share/man/man1/{p}.1.gz" for p in PROGRAMS} | {
    "share/applications/zk7.desktop", "share/mime/packages/zk7.xml", "share/icons/hicolor/scalable/apps/zk7.svg",
    "share/doc/zk7-desktop/index.html", "share/doc/zk7-desktop/history-window.png",
    "share/doc/zk7-desktop/statistics-view.png", "share/doc/zk7-desktop/stacked-view.png"}


def run(*args, **kw):
    return subprocess.run(args, capture_output=True, text=True, check=True, **kw).stdout


class InstalledTree(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory(dir=os.environ.get("HOME"))
        cls.root = os.path.join(cls.tmp.name, "root")
        run("cmake", "--install", BUILD, "--prefix", cls.root)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def test_files_and_programs(self):
        files = {os.path.relpath(os.path.join(folder, n), self.root)
                 for folder, _, names in os.walk(self.root) for n in names}
        modules = {f for f in files if f.startswith(SITE + "/zk7.") and f.endswith(".so")}
        self.assertEqual(len(modules), 1, files)
        self.assertEqual(files - modules, EXPECTED)
        for program in PROGRAMS:
            self.assertEqual(run(os.path.join(self.root, "bin", program), "--version"), f"{program} {VERSION}\n")
        # The installed module, from a folder far from the build.
        env = dict(os.environ, PYTHONPATH=os.path.join(self.root, SITE))
        out = run(sys.executable, "-c", "import zk7; print(zk7.__version__, zk7.__file__)", cwd="/", env=env)
        self.assertTrue(out.startswith(VERSION + " " + self.root), out)

    def test_desktop_integration_names_agree(self):
        with open(os.path.join(self.root, "share/applications/zk7.desktop"), encoding="utf-8") as f:
            entry = dict(line.rstrip("\n").split("=", 1) for line in f if "=" in line)
        self.assertEqual(entry["Exec"].split()[0], "zk7")
        self.assertIn("application/x-zk7-results", entry["MimeType"].split(";"))
        self.assertTrue(os.path.exists(os.path.join(self.root, "share/icons/hicolor/scalable/apps",
                                                    entry["Icon"] + ".svg")))
        with open(os.path.join(self.root, "share/mime/packages/zk7.xml"), encoding="utf-8") as f:
            mime = f.read()
        self.assertIn('<mime-type type="application/x-zk7-results">', mime)
        self.assertIn('<glob pattern="*.zk"/>', mime)
        page = run("man", "-l", "-P", "cat", os.path.join(self.root, "share/man/man1/zk7-cli.1.gz")) \
            if shutil.which("man") else ""
        if page:
            self.assertIn("--format", page.replace("\u2010", "-"))


@unittest.skipUnless(shutil.which("cpack") and shutil.which("dpkg-deb") and shutil.which("dpkg-shlibdeps"),
                     "needs cpack, dpkg-deb and dpkg-shlibdeps (dpkg-dev)")
class DebianPackage(unittest.TestCase):
    def test_contents_dependencies_and_scripts(self):
        with tempfile.TemporaryDirectory(dir=os.environ.get("HOME")) as tmp:
            run("cpack", "-G", "DEB", "-B", tmp, cwd=BUILD)
            debs = [f for f in os.listdir(tmp) if f.endswith(".deb")]
            arch = run("dpkg", "--print-architecture").strip()
            self.assertEqual(debs, [f"zk7-desktop_{VERSION}_{arch}.deb"])
            deb = os.path.join(tmp, debs[0])
            listed = {line.split()[-1].lstrip(".") for line in run("dpkg-deb", "-c", deb).splitlines()
                      if not line.startswith("d")}
            expected = {"/usr/" + f for f in EXPECTED}
            self.assertTrue(expected <= listed, expected - listed)
            self.assertEqual(len([f for f in listed - expected if f.startswith("/usr/" + SITE + "/zk7.")]), 1, listed)
            depends = run("dpkg-deb", "-f", deb, "Depends")
            for name in ("libqt6core6", "libqt6widgets6", "libc6", "python3-numpy"):
                self.assertIn(name, depends)
            control = os.path.join(tmp, "control")
            run("dpkg-deb", "-e", deb, control)
            for script in (os.path.join(control, name) for name in ("postinst", "postrm")):
                with open(script, encoding="utf-8") as f:
                    text = f.read()
                for needed in ("command -v update-mime-database", "update-desktop-database"):
                    self.assertIn(needed, text)
                self.assertTrue(os.access(script, os.X_OK))


if __name__ == "__main__":
    unittest.main()
