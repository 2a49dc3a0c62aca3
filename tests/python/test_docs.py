"""docs/python.md does what it says: its Python blocks, in order and in one
namespace, each print exactly the text block that follows, and its
installation command works."""
import contextlib
import io
import os
import re
import subprocess

import s5

DOC = os.path.join(os.path.dirname(__file__), "../../docs/python.md")


def test_every_python_block_prints_what_the_doc_shows(tmp_path, monkeypatch):
    with open(DOC) as f:
        blocks = re.findall(r"```(\w+)\n(.*?)```", f.read(), re.S)
    monkeypatch.chdir(tmp_path)  # the tutorial writes deal.dot
    namespace, ran = {}, 0
    for (lang, code), (next_lang, shown) in zip(blocks, blocks[1:] + [("", "")]):
        if lang != "python":
            continue
        out = io.StringIO()
        with contextlib.redirect_stdout(out):
            exec(compile(code, DOC, "exec"), namespace)
        assert out.getvalue() == (shown if next_lang == "text" else ""), code
        ran += 1
    assert ran >= 8 and (tmp_path / "deal.dot").exists()


def test_the_documented_install_into_a_virtual_environment_works(tmp_path):
    build = os.path.dirname(os.path.abspath(s5.BINARY))
    script = os.path.join(os.path.dirname(__file__), "../../bindings/python/install-module")
    subprocess.run([script, "--venv", str(tmp_path / "env"), build], check=True, capture_output=True)
    alone = {k: v for k, v in os.environ.items() if k != "PYTHONPATH"}  # not the build's module
    out = subprocess.run([str(tmp_path / "env/bin/python"), "-c", "import tarvel; print(tarvel.__file__)"],
                         cwd=tmp_path, env=alone, check=True, capture_output=True, text=True).stdout
    assert out.startswith(str(tmp_path / "env"))
