// A script host's control has no window: the editor members do nothing
// and succeed.
var grid = new ActiveXObject("Kvadra.Tessera.1");
grid.ShowEdit();
grid.HideEdit();
WScript.Echo("edit ok");
