out.Print 7 / 2 & " " & TypeName(7 / 2)
out.Print 1 / 3
out.Print 7 \ 2 & " " & -7 \ 2
out.Print 7.5 \ 2 & " " & 6.5 \ 2
out.Print 7 Mod 3 & " " & -7 Mod 3 & " " & 7.5 Mod 2 & " " & 6.5 Mod 4
out.Print 2 ^ 10 & " " & -2 ^ 2 & " " & 2 ^ -1
out.Print 1 + 2 * 3 - 4 / 2
out.Print "5" + 3 & " " & "5" + "3" & " " & "5" & 3
out.Print TypeName(32767 + 1) & " " & TypeName(2147483647 + 1)
out.Print TypeName(1 + 1) & " " & TypeName(1.5 + 1)
out.Print True + 0 & " " & (Not 0) & " " & (Not True)
out.Print (5 And 3) & " " & (5 Or 3) & " " & (5 Xor 3) & " " & (True Xor True)
out.Print (True Eqv False) & " " & (False Imp False)
out.Print 3 > 2 And 2 > 1
out.Print Not 1 = 2
out.Print Empty + 1 & " " & (Empty = 0) & " " & (Empty = "")
out.Print 10 - 2 - 3 & " " & 2 ^ 3 ^ 2
out.Print "a" & 1 + 2
' EXPECT:
' 3,5 Double
' 0,333333333333333
' 3 -3
' 4 3
' 1 -1 0 2
' 1024 -4 0,5
' 5
' 8 53 53
' Long Double
' Integer Double
' -1 -1 False
' 1 7 6 False
' False True
' True
' True
' 1 True True
' 5 64
' a3
