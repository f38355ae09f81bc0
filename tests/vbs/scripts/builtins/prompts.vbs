' MsgBox and InputBox go through the host's prompt: MsgBox answers with the button code (an
' Integer), the texts are the Italian texts of the values; then the refusals.
Dim r, t, x, got
r = MsgBox("Stampare le etichette?", vbYesNo + vbQuestion, "Etichette")
out.Print (r = vbOK) & " " & TypeName(r)
MsgBox "Fatto"
MsgBox 12.5
t = InputBox("Quantità", "Stampa", 1)
out.Print t & " " & InputBox("Nome")
On Error Resume Next
x = MsgBox(Null): got = got & " " & Err.Number: Err.Clear
x = MsgBox("x", "y"): got = got & " " & Err.Number: Err.Clear
x = InputBox("x", Null): got = got & " " & Err.Number: Err.Clear
out.Print got
' EXPECT:
' True Integer
' risposta risposta
'  94 13 94
' !PROMPT MsgBox|Stampare le etichette?|36|Etichette
' !PROMPT MsgBox|Fatto|0|
' !PROMPT MsgBox|12,5|0|
' !PROMPT InputBox|Quantità|Stampa|1
' !PROMPT InputBox|Nome||
