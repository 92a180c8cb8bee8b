"""docs/python.md shows what the module does: its examples run and print what the page says,
and its notebook cells run from top to bottom."""
import doctest
import os
import pathlib
import re

import zoduz

PAGE = pathlib.Path(__file__).parent.parent.parent / "docs" / "python.md"


def test_examples_print_what_the_page_shows(tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    zoduz.simulate("epr", "epr.zaz", seconds=3, interval_ms=50)
    # A code fence ends an example's expected output, as a blank line does.
    text = re.sub(r"^```.*$", "", PAGE.read_text(), flags=re.M)
    test = doctest.DocTestParser().get_doctest(text, {}, PAGE.name, str(PAGE), 0)
    runner = doctest.DocTestRunner(optionflags=doctest.NORMALIZE_WHITESPACE)
    failed, tried = runner.run(test)
    assert tried > 20
    assert failed == 0


def test_notebook_cells_run(tmp_path, monkeypatch, capsys):
    monkeypatch.chdir(tmp_path)
    monkeypatch.setenv("MPLBACKEND", "Agg")
    cells = [cell for cell in re.findall(r"```python\n(.*?)```", PAGE.read_text(), re.S)
             if not cell.startswith(">>>")]
    assert len(cells) >= 4
    namespace = {}
    for cell in cells:
        exec(compile(cell, str(PAGE), "exec"), namespace)  # noqa: S102 - the page's own code
    printed = capsys.readouterr().out
    assert "<zoduz.Capture 'epr.zaz'" in printed
    assert "mA  settled" in printed
    assert "O to X" in printed
    assert os.path.exists("epr.zaz")
