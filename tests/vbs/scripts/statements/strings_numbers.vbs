out.Print "He said ""hi"""
out.Print Len("""")
out.Print 1.5 + 1
out.Print .25 * 4
out.Print 1E3
out.Print 2.5E-1
out.Print &HFF
out.Print &hff + 1
out.Print &HFFFF
out.Print TypeName(&HFFFF)
out.Print &H10000
out.Print &HFFFFFFFF
out.Print &O17
out.Print TypeName(32767) & " " & TypeName(32768) & " " & TypeName(2147483648)
h = "acca" : o = "o"
out.Print "x"&h&o & &H1F & "!"
' EXPECT:
' He said "hi"
' 1
' 2,5
' 1
' 1000
' 0,25
' 255
' 256
' -1
' Integer
' 65536
' -1
' 15
' Integer Long Double
' xaccao31!
