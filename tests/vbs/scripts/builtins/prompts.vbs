' MsgBox and InputBox go through the host's prompt; MsgBox answers with the button code.
Dim r, t
r = MsgBox("Stampare le etichette?", vbYesNo + vbQuestion, "Etichette")
out.Print r = vbOK
MsgBox "Fatto"
t = InputBox("Quantità", "Stampa", 1)
out.Print t
' EXPECT:
' True
' risposta
' !PROMPT MsgBox|Stampare le etichette?|36|Etichette
' !PROMPT MsgBox|Fatto|0|
' !PROMPT InputBox|Quantità|Stampa|1
