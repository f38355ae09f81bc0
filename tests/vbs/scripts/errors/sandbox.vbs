On Error Resume Next
Set fso = CreateObject("Scripting.FileSystemObject")
out.Print Err.Number & " " & Err.Description
Err.Clear
Set o = GetObject("winmgmts:")
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
' 429 Impossibile creare l'oggetto: 'Scripting.FileSystemObject'
' 429
' 445 Execute non è supportato
' ExecuteGlobal non è supportato
' Eval non è supportato
