// sheet.js: a typed order sheet built from JScript.
//
//   cscript //nologo sheet.js
//
// Creates the grid control, gives each column a cell type, a number pattern,
// a date format or a choice list, fills it and reads back what a host needs
// to show or save it. Run it with the cscript that matches the DLL you
// registered (64-bit cscript for the x64 DLL, 32-bit for the x86 one).

var grid = new ActiveXObject("Kvadra.Tessera.1");

// Every per-cell property acts on the cell region: two corners, given as
// column (X) and row (Y). These helpers aim it at one cell or a block.
function block(row1, col1, row2, col2) {
    grid.CRegionLeftTopX = col1;
    grid.CRegionLeftTopY = row1;
    grid.CRegionRightBottomX = col2;
    grid.CRegionRightBottomY = row2;
}
function cell(row, col) { block(row, col, row, col); }

// Cell types (CType) and editor kinds (TypeEx bits).
var BOOLEAN = 0, LONG = 2, DOUBLE = 4, CURRENCY = 5, STRING = 6, DATE = 7;
var CALENDAR = 1, EDIT = 2, COMBOBOX = 4;

var orders = [
    // item,         qty, price,   due,                  paid,  status
    ["Oak desk",      2,  349.5,   "2026-01-14", true,  "Shipped"],
    ["Task chair",    6,  129.99,  "2026-02-03", false, "Open"],
    ["Monitor arm",  12,  45.25,   "2026-02-27", false, "Open"],
    ["Whiteboard",    1,  1250,    "2026-03-30", true,  "Paid"]
];

grid.AllowDraw = 0;          // no repaints while the sheet is built
grid.Cols = 7;
grid.Rows = orders.length + 1;
grid.FixedRows = 1;
grid.FixedCols = 1;

var titles = ["#", "Item", "Qty", "Price", "Due", "Paid", "Status"];
for (var c = 0; c < titles.length; c++) {
    cell(0, c);
    grid.Value = titles[c];
}

var last = orders.length;
// Column types first, a whole column at a time; values after, so that each
// value is converted to its column's type as it is stored.
block(1, 1, last, 1); grid.CType = STRING; grid.TypeEx = EDIT;
block(1, 2, last, 2); grid.CType = LONG;   grid.TypeEx = EDIT; grid.Alignment = 1;
block(1, 3, last, 3); grid.CType = DOUBLE; grid.TypeEx = EDIT; grid.Alignment = 1;
grid.NUMFormat = "#,##0.00";
block(1, 4, last, 4); grid.CType = DATE;   grid.TypeEx = CALENDAR;
grid.DTFormat = "dd.MM.yyyy";
block(1, 5, last, 5); grid.CType = BOOLEAN; grid.TypeEx = COMBOBOX;
block(1, 6, last, 6); grid.CType = STRING;  grid.TypeEx = COMBOBOX;
// A choice list offers entry texts and stores the chosen entry's value.
// The list opens on the entry whose text matches the cell's value.
var statuses = ["Open", "Shipped", "Paid"];
for (var s = 0; s < statuses.length; s++) grid.AddCRVariant(statuses[s], statuses[s]);

for (var r = 0; r < orders.length; r++) {
    var row = r + 1, o = orders[r];
    cell(row, 0); grid.Value = String(row);
    // Each value is converted to its cell's type as it is stored: the
    // ISO text becomes a date, a JScript number a Long or a Double.
    for (var k = 0; k < o.length; k++) {
        cell(row, k + 1);
        grid.Value = o[k];
    }
}

// A Long cell refuses text that is not a number; the value stays.
cell(2, 2);
try {
    grid.Value = "six";
} catch (e) {
    WScript.Echo("refused: " + e.description + ", Qty stays " + grid.Value);
}

grid.Widths = "30 110 50 80 90 60 80";
grid.AllowDraw = 1;          // one repaint for everything above


WScript.Echo("size: " + grid.Rows + " rows x " + grid.Cols + " cols, " +
             grid.TotalWidth + " px wide");
// Dates come back as VT_DATE, which JScript turns into a Date with
// new Date(grid.Value); this sheet reads the other columns.
var shown = [1, 2, 3, 5, 6];
for (var row = 1; row <= last; row++) {
    var line = [];
    for (var j = 0; j < shown.length; j++) {
        cell(row, shown[j]);
        line.push(String(grid.Value));
    }
    WScript.Echo("row " + row + ": " + line.join(" | "));
}

cell(1, 3);
WScript.Echo("Price: CType " + grid.CType + ", pattern " + grid.NUMFormat);
cell(1, 4);
WScript.Echo("Due: CType " + grid.CType + ", TypeEx " + grid.TypeEx + ", format " + grid.DTFormat);
cell(1, 6);
var offered = [];
for (var i = 0; i < statuses.length; i++) offered.push(grid.CRVariantText(i));
WScript.Echo("Status offers: " + offered.join(", "));
