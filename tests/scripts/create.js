// A script host creates the control by its ProgID.
var grid = new ActiveXObject("Kvadra.Tessera.1");
WScript.Echo(grid ? "created Kvadra.Tessera.1" : "not created");
