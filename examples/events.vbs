' events.vbs: the control's events in VBScript, and values VBScript needs
' care with (colours and booleans).
'
'   cscript //nologo events.vbs
'
' Each event arrives in the Sub named grid_<event>. The Subs below print
' their arguments; OnBeforeEdit and OnValidateEdit show how to veto.
Option Explicit

Dim grid
Set grid = CreateObject("Kvadra.Tessera.1")

' Connect the Subs named grid_... to the control's events.
On Error Resume Next
WScript.ConnectObject grid, "grid_"
If Err.Number = 0 Then
    WScript.Echo "events: connected"
Else
    WScript.Echo "events: this script host cannot connect to events (" & Err.Description & ")"
End If
Err.Clear
On Error GoTo 0

' A control that a script creates has no container, so it has no window:
' it raises no events here, since every event follows a click, a key, an
' edit or a repaint of a window. Put the control on a page or a form (see
' page.html) to receive them; the Subs stay the same.
grid.Cols = 4
grid.Rows = 3
grid.CRegionLeftTopX = 1 : grid.CRegionLeftTopY = 1
grid.CRegionRightBottomX = 3 : grid.CRegionRightBottomY = 2
grid.CType = 4                  ' Double
grid.TypeEx = 2                 ' edited in a text box
grid.NUMFormat = "0.00"
grid.Value = 2.5
grid.Update
grid.ShowEdit                   ' without a window: nothing happens
grid.HideEdit
WScript.Echo "cells: " & grid.Value & " in " & (grid.CRegionRightBottomX - grid.CRegionLeftTopX + 1) _
    & " x " & (grid.CRegionRightBottomY - grid.CRegionLeftTopY + 1) & " cells"

' Colours arrive as unsigned 32-bit numbers (VT_UI4). VBScript can convert
' them with CLng, CStr or Hex, but cannot compare them or compute with them
' directly ("Type mismatch"): convert first.
grid.FixedColor = RGB(214, 226, 240)
WScript.Echo "FixedColor: &H" & Hex(grid.FixedColor)
If CLng(grid.FixedColor) = RGB(214, 226, 240) Then WScript.Echo "FixedColor: as set"
grid.FixedColor = &H8000000F    ' a system colour (button face) is stored as its RGB value
WScript.Echo "FixedColor: system colour stored as RGB: " & (CLng(grid.FixedColor) <> &H8000000F)

' A colour the control cannot translate is refused with an error.
On Error Resume Next
grid.BackColor = &H800000FF
WScript.Echo "BackColor: refused, " & Err.Description
Err.Clear
On Error GoTo 0

' Booleans: a fresh control answers 1 (not True) until a property is set.
' Test them as conditions, never with "= True".
If grid.RangeSelect Then WScript.Echo "RangeSelect: on"
grid.RangeSelect = False
If Not grid.RangeSelect Then WScript.Echo "RangeSelect: off, DrawSelection: " & CBool(grid.DrawSelection)

' ---- event handlers -------------------------------------------------------

' Before an editor opens (column first), before an edit is stored and before
' a cell is cleared (row first at those two). cancel = True vetoes.
Sub grid_OnBeforeEdit(colOrRow, rowOrCol, text, cancel)
    WScript.Echo "OnBeforeEdit " & colOrRow & ", " & rowOrCol & ", """ & text & """"
End Sub

' The new text of a committed edit: cancel = True (exactly -1) keeps the old
' value; any other value accepts the text.
Sub grid_OnValidateEdit(row, col, text, cancel)
    WScript.Echo "OnValidateEdit " & row & ", " & col & ", """ & text & """"
    If Not IsNumeric(text) Then cancel = True
End Sub

Sub grid_OnAfterEdit(row, col)
    WScript.Echo "OnAfterEdit " & row & ", " & col
End Sub

Sub grid_OnAfterCalendar(cancel)
    WScript.Echo "OnAfterCalendar"
End Sub

Sub grid_OnButtonClick(row, col)
    WScript.Echo "OnButtonClick " & row & ", " & col
End Sub

Sub grid_OnClick()
    WScript.Echo "OnClick"
End Sub

Sub grid_OnDblClick()
    WScript.Echo "OnDblClick"
End Sub

Sub grid_OnKeyPress(key)
    WScript.Echo "OnKeyPress " & key
End Sub

Sub grid_OnSelectCell(col, row)
    WScript.Echo "OnSelectCell " & col & ", " & row
End Sub

Sub grid_OnSelectRange()
    WScript.Echo "OnSelectRange"
End Sub

Sub grid_OnLeaveCell(row, col)
    WScript.Echo "OnLeaveCell " & row & ", " & col
End Sub

Sub grid_OnEnterCell(row, col)
    WScript.Echo "OnEnterCell " & row & ", " & col
End Sub

Sub grid_OnFixedColClick(col)
    WScript.Echo "OnFixedColClick " & col
End Sub

Sub grid_OnFixedRowClick(row)
    WScript.Echo "OnFixedRowClick " & row
End Sub

Sub grid_OnDragAndDropRow(row1, row2)
    WScript.Echo "OnDragAndDropRow " & row1 & ", " & row2
End Sub

Sub grid_OnDragAndDropCol(col1, col2)
    WScript.Echo "OnDragAndDropCol " & col1 & ", " & col2
End Sub

Sub grid_ViewChange()
    WScript.Echo "ViewChange"
End Sub
