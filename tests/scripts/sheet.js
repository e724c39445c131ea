// A script host builds a small sheet through the ProgID, by member name,
// and reads it back; an error the control publishes arrives as the
// exception's description.
var failures = 0;
function check(what, got, want) {
    if (got !== want) {
        WScript.Echo("FAIL " + what + ": got " + got + ", want " + want);
        failures++;
    }
}

var grid = new ActiveXObject("Kvadra.Tessera.1");
grid.Cols = 5;
grid.Rows = 4;

// One cell at a time through the cell region.
function region(col, row) {
    grid.CRegionLeftTopX = grid.CRegionRightBottomX = col;
    grid.CRegionLeftTopY = grid.CRegionRightBottomY = row;
}

region(2, 1);
grid.CType = 1;
grid.Value = "42";
check("Integer from text", grid.Value, 42);

region(3, 1);
grid.CType = 6;
grid.Value = "hello";
grid.Hint = "a hint";
check("String value", grid.Value, "hello");
check("Hint", grid.Hint, "a hint");

// Refusals say what was refused and why.
function refusal(what, act, want) {
    try {
        act();
        check(what + " raises", false, true);
    } catch (e) {
        check(what, e.description, want);
    }
}
refusal("size beyond the cap", function () { grid.Rows = 50000000; },
        "A grid of 50000000 rows and 5 columns holds more than the 200000000 cells a grid may have; the size is unchanged.");
check("refused size kept", grid.Rows, 4);
refusal("missing choice entry", function () { return grid.CRVariantText(3); },
        "The choice list of the cell region has no entry 3: entries are numbered from 0 up to one less than the number added.");
grid.Rows = 0;
refusal("region outside the grid", function () { return grid.Value; }, "The cell region holds no cell of the grid.");

WScript.Echo(failures === 0 ? "sheet ok" : failures + " failures");
