On Error Resume Next
Set arc = CreateObject("Archivio.File")
out.Print Err.Number & " " & Err.Description
Err.Clear
Set o = GetObject("sistema:")
out.Print Err.Number
Err.Clear
Execute "out.Print 1"
out.Print Err.Number & " " & Err.Description
Err.Clear
ExecuteGlobal "x = 1"
out.Print Err.Description
Err.Clear
x = Eval("1 + 1")
out.Print Err.Description
' EXPECT:
' 429 Impossibile creare l'oggetto: 'Archivio.File'
' 429
' 445 Execute non è supportato
' ExecuteGlobal non è supportato
' Eval non è supportato
