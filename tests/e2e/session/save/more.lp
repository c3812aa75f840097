{ banned(bob). }
