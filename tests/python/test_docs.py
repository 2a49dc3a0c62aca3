"""docs/python.md runs as printed: its Python blocks in order, in one
namespace, each printing exactly the text block that follows it."""
import contextlib
import io
import os
import re

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
